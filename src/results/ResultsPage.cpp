#include "results/ResultsPage.h"

#include "qtkit/UserDialogs.h"
#include "results/ListExportDialogs.h"
#include "results/ListLayout.h"
#include "results/ResultDetailPanels.h"
#include "results/ResultsExport.h"
#include "results/ResultsFilterBar.h"
#include "results/ResultsList.h"
#include "results/ResultsModel.h"
#include "results/ResultsSearchProxy.h"
#include "results/ResultsSelection.h"
#include "results/ResultsSplitter.h"
#include "results/ResultsToolBar.h"
#include "results/SessionRest.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QSettings>
#include <QVBoxLayout>

namespace {
// Clears the flag for the lifetime of the guard, also when an error passes.
class NotReady {
public:
    explicit NotReady(bool &flag) : flag(flag) { flag = false; }
    ~NotReady() { flag = true; }

private:
    bool &flag;
};
} // namespace

ResultsPage::ResultsPage(ArchiveList &archive, QSettings &placement, QWidget *parent)
    : QWidget(parent), archive(archive), placement(placement)
{
    setObjectName(QStringLiteral("ResultsPage"));
    buildActions();
    exporter = std::make_unique<ResultsExport>(this, *context);

    // Created in tab order: the list, the filter bar, the tabs, the side bar.
    list = new ResultsList(archive, this);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &ResultsPage::showContextMenu);
    connect(list, &ResultsList::rowPicked, this, &ResultsPage::gridResultsSelectItem);
    connect(list, &ResultsList::copyRequested, this, &ResultsPage::ResultsCopyExecute);
    // After the list's model: the selection is put right once the rows are.
    selection = std::make_unique<ResultsSelection>(
        archive, *list, placement, details,
        ResultsSelection::Display{[this](int row) { gridResultsSelectItem(row); }, [this] { clearResultView(); }});

    auto *listArea = new QWidget(this);
    filterBar = new ResultsFilterBar(actResultsFilter, actResultsShowAll, this);
    toolBar = new ResultsToolBar({actResultsExportMSWord, actResultsSave, actResultsSavePdf},
                                 {actResultsPreview, actResultsPrint, actResultsSendEMail},
                                 {actResultsExportList, actResultsHistory}, this);
    connect(toolBar, &ResultsToolBar::searchChanged, this, [this](const QString &text) {
        list->Shown()->SetSearchText(text);
        redrawSelected();
    });
    auto *listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(4);
    listLayout->addWidget(toolBar);
    listLayout->addWidget(filterBar);
    listLayout->addWidget(list);

    detail = new ResultDetailPanels(this);
    detail->AddPersonAction(actResultsHistory);
    listSplitter = new ResultsSplitter(listArea, detail->Conclusions(), this);
    connect(detail, &ResultDetailPanels::choicesPanelToggled, this, &ResultsPage::redrawSelected);
    connect(detail, &ResultDetailPanels::choicesResized, this, &ResultsPage::redrawChoices);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(6);
    layout->addWidget(listSplitter, 1);
    layout->addWidget(detail->SideBar());

    SetContext(ownContext);
    clearResultView();
}

ResultsPage::~ResultsPage() = default;

void ResultsPage::buildActions()
{
    auto make = [this](const char *name, const QString &caption, const QKeySequence &keys) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(caption);
        action->setStatusTip(caption);
        if (!keys.isEmpty())
            action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    actResultsFilter = make("actResultsFilter", QStringLiteral("Фильтровать"), {});
    actResultsShowAll = make("actResultsShowAll", QStringLiteral("Показать все"), {});
    actResultsDelete = make("actResultsDelete", QStringLiteral("Удалить запись"), QKeySequence(Qt::CTRL | Qt::Key_D));
    actResultsCopy = make("actResultsCopy", QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C));
    actResultsExportMSWord =
        make("actResultsExportMSWord", QStringLiteral("Передать в редактор"), QKeySequence(Qt::CTRL | Qt::Key_W));
    actResultsSave = make("actResultsSave", QStringLiteral("Сохранить в файле..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    actResultsPreview = make("actResultsPreview", QStringLiteral("Предварительный просмотр"), {});
    actResultsPrint = make("actResultsPrint", QStringLiteral("Печать"), QKeySequence(Qt::CTRL | Qt::Key_P));
    actResultsSendEMail =
        make("actResultsSendEMail", QStringLiteral("Отправить по E-Mail"), QKeySequence(Qt::CTRL | Qt::Key_E));
    actResultsSavePdf = make("actResultsSavePdf", QStringLiteral("Сохранить в PDF..."), {});
    actResultsExportList = make("actResultsExportList", QStringLiteral("Экспорт списка..."), {});
    actResultsHistory = make("actResultsHistory", QStringLiteral("История тестируемого"), {});

    connect(actResultsFilter, &QAction::triggered, this, [this] { RefillResults(true); });
    connect(actResultsShowAll, &QAction::triggered, this, [this] { RefillResults(false); });
    connect(actResultsDelete, &QAction::triggered, this, &ResultsPage::ResultsDeleteExecute);
    connect(actResultsCopy, &QAction::triggered, this, &ResultsPage::ResultsCopyExecute);
    connect(actResultsExportMSWord, &QAction::triggered, this, &ResultsPage::ResultsExportMSWordExecute);
    connect(actResultsSave, &QAction::triggered, this, &ResultsPage::ResultsSaveExecute);
    connect(actResultsPreview, &QAction::triggered, this, &ResultsPage::ResultsPreviewExecute);
    connect(actResultsPrint, &QAction::triggered, this, &ResultsPage::ResultsPrintExecute);
    connect(actResultsSendEMail, &QAction::triggered, this, &ResultsPage::ResultsSendEMailExecute);
    connect(actResultsSavePdf, &QAction::triggered, this, &ResultsPage::ResultsSavePdfExecute);
    connect(actResultsExportList, &QAction::triggered, this, &ResultsPage::ResultsExportListExecute);
    connect(actResultsHistory, &QAction::triggered, this, &ResultsPage::ResultsHistoryExecute);
}

QLineEdit *ResultsPage::SearchField() const { return toolBar->SearchField(); }

QTableView *ResultsPage::Grid() const { return list; }
ResultsModel *ResultsPage::Model() const { return list->Model(); }
SwatchPanel *ResultsPage::EightColourPanel(int choice) const { return detail->EightColourPanel(choice); }
SwatchPanel *ResultsPage::FullChoicesPanel() const { return detail->FullChoicesPanel(); }

void ResultsPage::SetTemporaryFolder(const QString &folder) { exporter->SetTemporaryFolder(folder); }

void ResultsPage::SetFileOpener(std::function<bool(const QString &)> opener)
{
    exporter->SetFileOpener(std::move(opener));
}

void ResultsPage::SetUrlOpener(std::function<bool(const QUrl &)> opener) { exporter->SetUrlOpener(std::move(opener)); }

void ResultsPage::SetColours(const ColourSet &value)
{
    colours = value;
    detail->SetColours(value);
    exporter->SetColours(value);
    redrawSelected();
}

void ResultsPage::SetSigner(const QString &examiner, const QString &organisation)
{
    exporter->SetSigner(examiner, organisation);
}

void ResultsPage::SetContext(const StationContext &value)
{
    context = &value;
    list->SetDateTimeFormat(value.DateTimeFormat());
    detail->SetDateTimeFormat(value.DateTimeFormat());
    filterBar->SetLocale(value.Locale());
    exporter->SetContext(value);
}

void ResultsPage::SetUserGroups(const QStringList &groups, int filterGroupIndex)
{
    filterBar->SetUserGroups(groups, filterGroupIndex);
}

int ResultsPage::FilterGroupIndex() const { return filterBar->GroupIndex(); }

void ResultsPage::RestorePlacement()
{
    filterBar->RestorePlacement(placement);
    detail->RestorePlacement(placement);
    bool ok = false;
    const int height = placement.value(QStringLiteral("TeSPageControl1.Height")).toInt(&ok);
    if (ok && height > 0)
        listSplitter->SetTabHeight(height);
}

void ResultsPage::SavePlacement()
{
    filterBar->SavePlacement(placement);
    detail->SavePlacement(placement);
    placement.setValue(QStringLiteral("TeSPageControl1.Height"), listSplitter->TabHeight());
    SaveListLayout(list, placement);
}

void ResultsPage::AddResultRow(int position, bool select)
{
    Model()->Append(position);
    if (select && Model()->rowCount() > 0)
        list->SelectModelRow(Model()->rowCount() - 1);
}

bool ResultsPage::AppendFinishedSession(const TCLTSession &session)
{
    const long long position = archive.PositionOf(&session);
    if (position < 0)
        return false;
    // Listed already when the filter admits it.
    const int row = Model()->RowOf(static_cast<int>(position));
    if (row >= 0)
        list->SelectModelRow(row);
    else
        AddResultRow(static_cast<int>(position), true);
    return true;
}

void ResultsPage::RefillResults(bool applyFilter)
{
    ResultsModel *model = Model();
    filterApplied = applyFilter;
    appliedFilter = filterBar->CurrentFilter();
    const auto setListing = [this, model, applyFilter] {
        if (applyFilter)
            model->SetListing(true, [this](const ListedRow &s) { return MatchesFilter(s, appliedFilter); });
        else
            model->SetListing(true);
    };
    if (archive.Empty()) {
        // Rows left over would name sessions that no longer exist. The
        // stored widths apply all the same: they are saved again at close.
        model->Clear();
        setListing();
        listReady = true;
        clearResultView();
    } else {
        // Widths the user set during the run survive a refill; the stored
        // row index is the one the layout restores.
        if (listShown)
            SaveListLayout(list, placement);
        {
            NotReady notReady(listReady);
            model->Clear();
        }
        NotReady notReady(listReady);
        std::vector<int> positions;
        positions.reserve(archive.Count());
        for (std::size_t position = 0; position < archive.Count(); ++position)
            if (!applyFilter || MatchesFilter(archive.Row(position), appliedFilter))
                positions.push_back(static_cast<int>(position));
        model->Reset(std::move(positions));
        setListing();
    }
    listShown = true;
    RestoreListLayout(list, placement);
    if (placement.contains(QStringLiteral("gridResults_ColWidth4")))
        list->KeepNameWidth();
    selection->Refilled();
    if (model->rowCount() == 0 || list->Selected() < 0)
        clearResultView();
}

void ResultsPage::RefillAsBefore()
{
    if (filterApplied)
        RefillResults(*filterApplied);
}

void ResultsPage::redrawSelected() { gridResultsSelectItem(list->Selected()); }

void ResultsPage::redrawChoices()
{
    const TCLTSession *session = list->SelectedSession();
    if (listReady && session && session->DetailsRead)
        detail->DrawChoices(*session);
}

void ResultsPage::gridResultsSelectItem(int row)
{
    selection->Shown(row);
    if (!listReady)
        return;
    if (Model()->rowCount() == 0 || row < 0) {
        clearResultView();
        return;
    }
    TCLTSession *session = sessionAt(row);
    if (!session)
        return;
    const QString unreadable = ReadRestOf(details, *session);
    if (unreadable.isEmpty())
        detail->Show(*session);
    else
        detail->ShowUnreadable(*session, unreadable);
}

const TCLTSession *ResultsPage::selectedWhole() const
{
    TCLTSession *session = sessionAt(list->Selected());
    if (!session)
        return nullptr;
    const QString unreadable = ReadRestOf(details, *session);
    if (unreadable.isEmpty())
        return session;
    UserDialogs::Current().ShowWarning(const_cast<ResultsPage *>(this), unreadable);
    return nullptr;
}

TCLTSession *ResultsPage::sessionAt(int row) const
{
    if (!Model()->SessionAt(row))
        return nullptr;
    return &archive[static_cast<std::size_t>(Model()->PositionAt(row))];
}

void ResultsPage::clearResultView() { detail->Clear(); }

QString ResultsPage::SessionReportText() const { return exporter->ReportText(selectedWhole()); }

bool ResultsPage::ResultsDeleteExecute()
{
    const int row = list->Selected();
    if (!Model()->SessionAt(row))
        return false;
    if (!UserDialogs::Current().AskYesNo(this, QStringLiteral("Вы действительно хотите удалить текущую запись списка?"),
                                         false))
        return false;
    // Looked up again: the archive may have changed while the question was open.
    const TCLTSession *session = Model()->SessionAt(row);
    if (!session || session->SourceFile.empty() || !DeleteSessionFile(session->SourceFile)) {
        UserDialogs::Current().ShowInfo(this, QStringLiteral("Невозможно удалить текущую запись. Попробуйте позже."),
                                        false);
        return false;
    }
    selection->DeleteByUser(static_cast<std::size_t>(Model()->PositionAt(row)));
    return true;
}

bool ResultsPage::ResultsCopyExecute() { return exporter->Copy(selectedWhole()); }
bool ResultsPage::ResultsExportMSWordExecute() { return exporter->HandToEditor(selectedWhole()); }
bool ResultsPage::ResultsSaveExecute() { return exporter->SaveToFile(selectedWhole()); }

bool ResultsPage::ResultsPreviewExecute() { return exporter->Preview(selectedWhole()); }
bool ResultsPage::ResultsPrintExecute() { return exporter->Print(selectedWhole()); }
bool ResultsPage::ResultsSendEMailExecute() { return exporter->SendByMail(selectedWhole()); }
bool ResultsPage::ResultsSavePdfExecute() { return exporter->SaveAsPdf(selectedWhole()); }

bool ResultsPage::ResultsExportListExecute()
{
    // The rows as they are shown: filtered, searched and sorted.
    return ExportListThroughDialogs(this, archive, ShownPositions(), *context);
}

bool ResultsPage::ResultsHistoryExecute()
{
    const TCLTSession *session = sessionAt(list->Selected());
    if (!session)
        return false;
    emit personHistoryRequested(*session);
    return true;
}

void ResultsPage::showContextMenu(const QPoint &at)
{
    QMenu menu(list);
    menu.addAction(actResultsExportMSWord);
    menu.addAction(actResultsSave);
    menu.addAction(actResultsSavePdf);
    menu.addAction(actResultsPreview);
    menu.addAction(actResultsPrint);
    menu.addAction(actResultsSendEMail);
    menu.addSeparator();
    menu.addAction(actResultsExportList);
    menu.addAction(actResultsHistory);
    menu.addSeparator();
    menu.addAction(actResultsFilter);
    menu.addAction(actResultsShowAll);
    menu.exec(list->viewport()->mapToGlobal(at));
}

std::vector<std::size_t> ResultsPage::ShownPositions() const
{
    std::vector<std::size_t> positions;
    const ResultsSearchProxy *shown = list->Shown();
    positions.reserve(static_cast<std::size_t>(shown->rowCount()));
    for (int row = 0; row < shown->rowCount(); ++row)
        if (const int position = Model()->PositionAt(shown->SourceRow(row));
            position >= 0 && static_cast<std::size_t>(position) < archive.Count())
            positions.push_back(static_cast<std::size_t>(position));
    return positions;
}

std::vector<ListedRow> ResultsPage::ShownSessions() const
{
    std::vector<ListedRow> sessions;
    for (const std::size_t position : ShownPositions())
        sessions.push_back(archive.Row(position));
    return sessions;
}

std::vector<ListedRow> ResultsPage::SessionsOfGroup(const std::string &group) const
{
    ResultsFilter filter = filterApplied.value_or(false) ? appliedFilter : ResultsFilter();
    filter.GroupIndex = 1;
    filter.GroupText = group;
    std::vector<ListedRow> sessions;
    for (std::size_t position = 0; position < archive.Count(); ++position)
        if (ListedRow session = archive.Row(position); MatchesFilter(session, filter))
            sessions.push_back(session);
    return sessions;
}

std::optional<ResultsFilter> ResultsPage::ListFilter() const
{
    if (filterApplied.value_or(false))
        return appliedFilter;
    return std::nullopt;
}
