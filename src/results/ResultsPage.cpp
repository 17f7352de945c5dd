#include "ResultsPage.h"

#include "CollapsiblePanel.h"
#include "FlowLayout.h"
#include "ListLayout.h"
#include "OleDate.h"
#include "QtColour.h"
#include "ResultsModel.h"
#include "AtomicFile.h"
#include "Cp1251Bytes.h"
#include "DateTimeText.h"
#include "LineEnds.h"
#include "SessionReport.h"
#include "SwatchPanel.h"
#include "TestKinds.h"
#include "UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int DefaultColumnWidths[ResultsModel::ColumnCount] = {40, 120, 100, 300, 200};
constexpr int EightColourPanelHeight = 100;
constexpr int FullChoicesPanelHeight = 320;
constexpr int NoticePanelHeight = 30;
constexpr int SideBarWidth = 340;
constexpr int ValueUndefined = 1000;
// Row captions of the full-test grid end short of its first column.
constexpr int RowCaptionWidth = 87;

QString text(const char *utf8) { return QString::fromUtf8(utf8); }

// Clears the flag for the lifetime of the guard, also when an error passes.
class NotReady {
public:
    explicit NotReady(bool &flag) : flag(flag) { flag = false; }
    ~NotReady() { flag = true; }

private:
    bool &flag;
};

class Ignoring {
public:
    explicit Ignoring(bool &flag) : flag(flag), before(flag) { flag = true; }
    ~Ignoring() { flag = before; }

private:
    bool &flag;
    bool before;
};

QLabel *heading(const char *caption, QWidget *parent)
{
    auto *label = new QLabel(text(caption), parent);
    return label;
}

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(0, 0, 0, 4);
    return label;
}

QPlainTextEdit *memo(const char *name, QWidget *parent)
{
    auto *edit = new QPlainTextEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The memo's own menu offers copying only, under the program's caption.
    auto *copy = new QAction(text("Копировать"), edit);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    QObject::connect(copy, &QAction::triggered, edit, &QPlainTextEdit::copy);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [edit, copy](const QPoint &at) {
        copy->setEnabled(edit->textCursor().hasSelection());
        QMenu menu(edit);
        menu.addAction(copy);
        menu.exec(edit->viewport()->mapToGlobal(at));
    });
    return edit;
}
} // namespace

ResultsPage::ResultsPage(TCLTArchive &archive, QSettings &placement, QWidget *parent)
    : QWidget(parent), archive(archive), placement(placement), locale(QLocale::Russian, QLocale::Russia),
      temporaryFolder(QDir::tempPath()), clock([] { return QDateTime::currentDateTime(); }),
      openFile([](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); })
{
    setObjectName(QStringLiteral("ResultsPage"));
    dateTimeFormat = DateTimeFormatOf(locale);
    buildActions();

    model = new ResultsModel(archive, this);
    model->SetDateTimeFormat(dateTimeFormat);

    gridResults = new QTableView(this);
    gridResults->setObjectName(QStringLiteral("gridResults"));
    gridResults->setToolTip(text("Результаты тестирования"));
    gridResults->setModel(model);
    gridResults->setShowGrid(true);
    gridResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridResults->setSelectionMode(QAbstractItemView::SingleSelection);
    gridResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridResults->setWordWrap(false);
    gridResults->setSortingEnabled(false);
    gridResults->setAlternatingRowColors(true);
    // The highlight stays visible when the list loses focus.
    QPalette palette = gridResults->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    gridResults->setPalette(palette);
    // Fixed row heights: measuring rows costs seconds on a large archive.
    QHeaderView *rowsHeader = gridResults->verticalHeader();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(gridResults->fontMetrics().height() + 6);
    rowsHeader->hide();
    QHeaderView *columnsHeader = gridResults->horizontalHeader();
    columnsHeader->setSectionResizeMode(QHeaderView::Interactive);
    columnsHeader->setStretchLastSection(false);
    columnsHeader->setHighlightSections(false);
    columnsHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < ResultsModel::ColumnCount; ++i)
        gridResults->setColumnWidth(i, DefaultColumnWidths[i]);
    widenColumnsToTheirTexts();
    // The list view would copy the text of its current cell on Ctrl+C;
    // here Ctrl+C copies the session report.
    gridResults->installEventFilter(this);
    gridResults->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(gridResults, &QWidget::customContextMenuRequested, this, &ResultsPage::showContextMenu);
    connect(gridResults->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultsPage::onSelectionChanged);

    auto *listArea = new QWidget(this);
    auto *listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(4);
    listLayout->addWidget(buildFilterBar());
    listLayout->addWidget(gridResults);

    listSplitter = new QSplitter(Qt::Vertical, this);
    listSplitter->setObjectName(QStringLiteral("listSplitter"));
    listSplitter->setChildrenCollapsible(false);
    listSplitter->addWidget(listArea);
    listSplitter->addWidget(buildTabs());
    listSplitter->setStretchFactor(0, 1);
    listSplitter->setStretchFactor(1, 0);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(6);
    layout->addWidget(listSplitter, 1);
    layout->addWidget(buildSideBar());

    TeHeaderPanel2->SetRolled(true);
    TeHeaderPanel3->SetRolled(true);
    checkFilterAgeClick();
    ClearResultView();
}

ResultsPage::~ResultsPage() = default;

void ResultsPage::buildActions()
{
    auto make = [this](const char *name, const char *caption, const QKeySequence &keys) {
        auto *action = new QAction(text(caption), this);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(text(caption));
        action->setStatusTip(text(caption));
        if (!keys.isEmpty())
            action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    actResultsFilter = make("actResultsFilter", "Фильтровать", {});
    actResultsShowAll = make("actResultsShowAll", "Показать все", {});
    actResultsDelete = make("actResultsDelete", "Удалить запись", QKeySequence(Qt::CTRL | Qt::Key_D));
    actResultsCopy = make("actResultsCopy", "Копировать", QKeySequence(Qt::CTRL | Qt::Key_C));
    actResultsExportMSWord = make("actResultsExportMSWord", "Передать в редактор", QKeySequence(Qt::CTRL | Qt::Key_W));
    actResultsSave = make("actResultsSave", "Сохранить в файле...", QKeySequence(Qt::CTRL | Qt::Key_S));
    actResultsPreview = make("actResultsPreview", "Предварительный просмотр", {});
    actResultsPrint = make("actResultsPrint", "Печать", QKeySequence(Qt::CTRL | Qt::Key_P));
    actResultsSendEMail = make("actResultsSendEMail", "Отправить по E-Mail", QKeySequence(Qt::CTRL | Qt::Key_E));
    actResultsPreview->setVisible(false);
    actResultsPrint->setVisible(false);
    actResultsSendEMail->setVisible(false);

    connect(actResultsFilter, &QAction::triggered, this, &ResultsPage::ResultsFilterExecute);
    connect(actResultsShowAll, &QAction::triggered, this, &ResultsPage::ResultsShowAllExecute);
    connect(actResultsDelete, &QAction::triggered, this, &ResultsPage::ResultsDeleteExecute);
    connect(actResultsCopy, &QAction::triggered, this, &ResultsPage::ResultsCopyExecute);
    connect(actResultsExportMSWord, &QAction::triggered, this, &ResultsPage::ResultsExportMSWordExecute);
    connect(actResultsSave, &QAction::triggered, this, &ResultsPage::ResultsSaveExecute);
    connect(actResultsPreview, &QAction::triggered, this, &ResultsPage::ResultsPreviewExecute);
    connect(actResultsPrint, &QAction::triggered, this, &ResultsPage::ResultsPrintExecute);
    connect(actResultsSendEMail, &QAction::triggered, this, &ResultsPage::ResultsSendEMailExecute);
}

QWidget *ResultsPage::buildFilterBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("filterBar"));
    // The bar wraps: beside the side bar the list is narrower than one row
    // of all the filter controls.
    auto *layout = new FlowLayout(bar, 6);

    cbFilterTest = new QComboBox(bar);
    cbFilterTest->setObjectName(QStringLiteral("cbFilterTest"));
    cbFilterTest->addItem(QString::fromStdString(AnyTestListName));
    for (int kind = 1; kind <= TestKindCount; ++kind)
        cbFilterTest->addItem(QString::fromStdString(TestKindListName(kind)));

    cbFilterGroup = new QComboBox(bar);
    cbFilterGroup->setObjectName(QStringLiteral("cbFilterGroup"));
    cbFilterGroup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbFilterGroup->setMinimumContentsLength(12);
    cbFilterGroup->addItem(text("Любая группа"));

    cbFilterSex = new QComboBox(bar);
    cbFilterSex->setObjectName(QStringLiteral("cbFilterSex"));
    cbFilterSex->addItems({text("Любой пол"), text("Мужчины"), text("Женщины")});

    checkFilterAge = new QCheckBox(text("Ограничить по возрасту"), bar);
    checkFilterAge->setObjectName(QStringLiteral("checkFilterAge"));
    connect(checkFilterAge, &QCheckBox::clicked, this, &ResultsPage::checkFilterAgeClick);

    auto ageField = [this, bar](const char *name, double value) {
        auto *field = new QDoubleSpinBox(bar);
        field->setObjectName(QString::fromLatin1(name));
        field->setRange(0, 150);
        field->setDecimals(1);
        field->setSingleStep(1);
        field->setValue(value);
        field->setLocale(locale);
        return field;
    };
    seFilterAgeMin = ageField("seFilterAgeMin", 0);
    seFilterAgeMax = ageField("seFilterAgeMax", 150);

    auto button = [bar](QAction *action) {
        auto *b = new QToolButton(bar);
        b->setDefaultAction(action);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return b;
    };

    // Controls that belong together wrap together.
    auto group = [bar](std::initializer_list<QWidget *> widgets) {
        auto *box = new QWidget(bar);
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);
        for (QWidget *w : widgets)
            row->addWidget(w);
        return box;
    };
    layout->addWidget(cbFilterTest);
    layout->addWidget(cbFilterGroup);
    layout->addWidget(cbFilterSex);
    layout->addWidget(group({checkFilterAge, seFilterAgeMin, new QLabel(QStringLiteral("–"), bar), seFilterAgeMax}));
    layout->addWidget(group({button(actResultsFilter), button(actResultsShowAll)}));
    return bar;
}

QWidget *ResultsPage::buildSideBar()
{
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("sideBar"));
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFixedWidth(SideBarWidth);
    scroll->setFrameShape(QFrame::StyledPanel);

    auto *inner = new QWidget(scroll);
    auto *layout = new QVBoxLayout(inner);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);

    auto panel = [inner, layout](const char *name, const char *caption) {
        auto *p = new CollapsiblePanel(text(caption), inner);
        p->setObjectName(QString::fromLatin1(name));
        layout->addWidget(p);
        return p;
    };

    TeHeaderPanel2 = panel("TeHeaderPanel2", "Тестируемый");
    {
        QWidget *c = TeHeaderPanel2->Content();
        QVBoxLayout *l = TeHeaderPanel2->ContentLayout();
        labelResultsUserName = valueLabel("labelResultsUserName", c);
        labelResultsUserSexAge = valueLabel("labelResultsUserSexAge", c);
        labelResultsUserGroup = valueLabel("labelResultsUserGroup", c);
        l->addWidget(heading("Ф.И.О.", c));
        l->addWidget(labelResultsUserName);
        l->addWidget(heading("Пол, возраст", c));
        l->addWidget(labelResultsUserSexAge);
        l->addWidget(heading("Группа", c));
        l->addWidget(labelResultsUserGroup);
    }

    TeHeaderPanel3 = panel("TeHeaderPanel3", "Сеанс тестирования");
    {
        QWidget *c = TeHeaderPanel3->Content();
        QVBoxLayout *l = TeHeaderPanel3->ContentLayout();
        labelResultsSessionStarted = valueLabel("labelResultsSessionStarted", c);
        labelResultsSessionDuration = valueLabel("labelResultsSessionDuration", c);
        l->addWidget(heading("Сеанс тестирования начат", c));
        l->addWidget(labelResultsSessionStarted);
        l->addWidget(heading("Продолжительность тестирования", c));
        l->addWidget(labelResultsSessionDuration);
    }

    TeHeaderPanel4 = panel("TeHeaderPanel4", "Выборы - 8-цветный субтест");
    {
        QWidget *c = TeHeaderPanel4->Content();
        QVBoxLayout *l = TeHeaderPanel4->ContentLayout();
        auto swatches = [c](const char *name) {
            auto *p = new SwatchPanel(c);
            p->setObjectName(QString::fromLatin1(name));
            p->setFixedHeight(EightColourPanelHeight);
            return p;
        };
        panel8CChoices1 = swatches("panel8CChoices1");
        panel8CChoices2 = swatches("panel8CChoices2");
        l->addWidget(heading("Первый выбор", c));
        l->addWidget(panel8CChoices1);
        l->addWidget(heading("Второй выбор", c));
        l->addWidget(panel8CChoices2);
    }

    TeHeaderPanel5 = panel("TeHeaderPanel5", "Выборы - Дополнительные субтесты");
    {
        QWidget *c = TeHeaderPanel5->Content();
        panelFullChoices = new SwatchPanel(c);
        panelFullChoices->setObjectName(QStringLiteral("panelFullChoices"));
        panelFullChoices->setFixedHeight(FullChoicesPanelHeight);
        TeLabel28 = new QLabel(text("Исключительно для полного теста"), panelFullChoices);
        TeLabel28->setObjectName(QStringLiteral("TeLabel28"));
        QFont bold = TeLabel28->font();
        bold.setBold(true);
        TeLabel28->setFont(bold);
        TeLabel28->move(4, 7);
        TeLabel28->adjustSize();
        TeHeaderPanel5->ContentLayout()->addWidget(panelFullChoices);
    }
    layout->addStretch(1);

    // Opening a choices panel draws the selected row, which a rolled-up
    // panel skipped.
    connect(TeHeaderPanel4, &CollapsiblePanel::Rollup, this, &ResultsPage::redrawSelected);
    connect(TeHeaderPanel5, &CollapsiblePanel::Rollup, this, &ResultsPage::redrawSelected);
    // The swatches are placed by the panel width, which is known only once
    // the side bar is laid out (and changes with the font).
    connect(panel8CChoices1, &SwatchPanel::widthChanged, this, &ResultsPage::redrawChoices);
    connect(panelFullChoices, &SwatchPanel::widthChanged, this, &ResultsPage::redrawChoices);

    scroll->setWidget(inner);
    return scroll;
}

QWidget *ResultsPage::buildTabs()
{
    TeSPageControl1 = new QTabWidget(this);
    TeSPageControl1->setObjectName(QStringLiteral("TeSPageControl1"));
    memoResultsBriefSummary = memo("memoResultsBriefSummary", TeSPageControl1);
    memoResultsTotalSummary = memo("memoResultsTotalSummary", TeSPageControl1);
    memoResultsFactorSummary = memo("memoResultsFactorSummary", TeSPageControl1);
    TeSPageControl1->addTab(memoResultsBriefSummary, text("Краткое заключение"));
    TeSPageControl1->addTab(memoResultsTotalSummary, text("Подробное заключение"));
    TeSPageControl1->addTab(memoResultsFactorSummary, text("Дополнительные выводы"));
    TeSPageControl1->setMinimumHeight(80);
    return TeSPageControl1;
}

SwatchPanel *ResultsPage::EightColourPanel(int choice) const
{
    return choice == 1 ? panel8CChoices1 : choice == 2 ? panel8CChoices2 : nullptr;
}

void ResultsPage::SetColours(const ColourSet &value)
{
    colours = value;
    redrawSelected();
}

void ResultsPage::widenColumnsToTheirTexts()
{
    // The default widths were chosen for a small system font; with a larger
    // one a date or a test name would be cut, so a column is widened to what
    // its header and its widest fixed-form text need. Only ever widens, so
    // stored widths restored later win.
    const QFontMetrics metrics = gridResults->fontMetrics();
    const int padding = 14;
    QString widestKind;
    for (int kind = 1; kind <= TestKindCount; ++kind) {
        const QString name = QString::fromStdString(TestKindListName(kind));
        if (metrics.horizontalAdvance(name) > metrics.horizontalAdvance(widestKind))
            widestKind = name;
    }
    // Month names differ in width: measure a two-digit day of every month.
    QString widestDate;
    for (int month = 1; month <= 12; ++month) {
        const QString date = FormatOleDateTime(ToOleDate(LocalDateTime{2028, month, 28, 20, 58, 58, 0}), dateTimeFormat);
        if (metrics.horizontalAdvance(date) > metrics.horizontalAdvance(widestDate))
            widestDate = date;
    }
    const QString samples[ResultsModel::ColumnCount] = {
        QStringLiteral("00000"), widestDate, widestKind, QString(),
        QString()};
    for (int i = 0; i < ResultsModel::ColumnCount; ++i) {
        const QString caption = model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        const int needed = std::max(metrics.horizontalAdvance(samples[i]), metrics.horizontalAdvance(caption)) + padding;
        gridResults->setColumnWidth(i, std::max(gridResults->columnWidth(i), needed));
    }
}

void ResultsPage::SetLocale(const QLocale &value)
{
    locale = value;
    dateTimeFormat = DateTimeFormatOf(locale);
    model->SetDateTimeFormat(dateTimeFormat);
    widenColumnsToTheirTexts(); // the dates of this locale may be wider
    seFilterAgeMin->setLocale(locale);
    seFilterAgeMax->setLocale(locale);
}

void ResultsPage::SetUserGroups(const QStringList &groups, int filterGroupIndex)
{
    cbFilterGroup->clear();
    cbFilterGroup->addItem(text("Любая группа"));
    cbFilterGroup->addItems(groups);
    cbFilterGroup->setCurrentIndex(filterGroupIndex >= 0 && filterGroupIndex < cbFilterGroup->count() ? filterGroupIndex
                                                                                                       : 0);
}

int ResultsPage::FilterGroupIndex() const { return cbFilterGroup->currentIndex(); }

void ResultsPage::RestorePlacement()
{
    auto index = [this](const char *key, QComboBox *box) {
        bool ok = false;
        const int value = placement.value(QString::fromLatin1(key), 0).toInt(&ok);
        box->setCurrentIndex(ok && value >= 0 && value < box->count() ? value : 0);
    };
    index("cbFilterTest.ItemIndex", cbFilterTest);
    index("cbFilterSex.ItemIndex", cbFilterSex);
    checkFilterAge->setChecked(placement.value(QStringLiteral("checkFilterAge.Checked"), false).toBool());
    seFilterAgeMin->setValue(placement.value(QStringLiteral("seFilterAgeMin.Value"), 0.0).toDouble());
    seFilterAgeMax->setValue(placement.value(QStringLiteral("seFilterAgeMax.Value"), 150.0).toDouble());
    TeHeaderPanel2->SetRolled(placement.value(QStringLiteral("TeHeaderPanel2.Rolled"), true).toBool());
    TeHeaderPanel3->SetRolled(placement.value(QStringLiteral("TeHeaderPanel3.Rolled"), true).toBool());
    TeHeaderPanel4->SetRolled(placement.value(QStringLiteral("TeHeaderPanel4.Rolled"), false).toBool());
    TeHeaderPanel5->SetRolled(placement.value(QStringLiteral("TeHeaderPanel5.Rolled"), false).toBool());
    bool ok = false;
    const int height = placement.value(QStringLiteral("TeSPageControl1.Height")).toInt(&ok);
    if (ok && height > 0) {
        pendingTabHeight = height;
        applyPendingTabHeight();
    }
    checkFilterAgeClick();
}

void ResultsPage::SavePlacement()
{
    placement.setValue(QStringLiteral("cbFilterTest.ItemIndex"), cbFilterTest->currentIndex());
    placement.setValue(QStringLiteral("cbFilterSex.ItemIndex"), cbFilterSex->currentIndex());
    placement.setValue(QStringLiteral("checkFilterAge.Checked"), checkFilterAge->isChecked());
    placement.setValue(QStringLiteral("seFilterAgeMin.Value"), seFilterAgeMin->value());
    placement.setValue(QStringLiteral("seFilterAgeMax.Value"), seFilterAgeMax->value());
    placement.setValue(QStringLiteral("TeHeaderPanel2.Rolled"), TeHeaderPanel2->Rolled());
    placement.setValue(QStringLiteral("TeHeaderPanel3.Rolled"), TeHeaderPanel3->Rolled());
    placement.setValue(QStringLiteral("TeHeaderPanel4.Rolled"), TeHeaderPanel4->Rolled());
    placement.setValue(QStringLiteral("TeHeaderPanel5.Rolled"), TeHeaderPanel5->Rolled());
    const int height = pendingTabHeight > 0 ? pendingTabHeight : TeSPageControl1->height();
    placement.setValue(QStringLiteral("TeSPageControl1.Height"), height);
    SaveListLayout(gridResults, placement);
}

void ResultsPage::applyPendingTabHeight()
{
    // The splitter can give the tab area an exact height only once it has
    // its own size; until then the wish is kept.
    const int total = listSplitter->height();
    if (pendingTabHeight <= 0 || !listSplitter->isVisible() || total <= pendingTabHeight)
        return;
    listSplitter->setSizes({total - pendingTabHeight - listSplitter->handleWidth(), pendingTabHeight});
    pendingTabHeight = -1;
}

bool ResultsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == gridResults && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        // Left unaccepted, the override lets the action's shortcut fire.
        if (event->type() == QEvent::KeyPress)
            ResultsCopyExecute();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ResultsPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyPendingTabHeight();
}

ResultsFilter ResultsPage::CurrentFilter() const
{
    ResultsFilter filter;
    filter.TestIndex = cbFilterTest->currentIndex();
    filter.GroupIndex = cbFilterGroup->currentIndex();
    filter.GroupText = cbFilterGroup->currentText().toStdString();
    filter.SexIndex = cbFilterSex->currentIndex();
    filter.AgeLimited = checkFilterAge->isChecked();
    filter.AgeMin = seFilterAgeMin->value();
    filter.AgeMax = seFilterAgeMax->value();
    return filter;
}

void ResultsPage::checkFilterAgeClick()
{
    seFilterAgeMin->setEnabled(checkFilterAge->isChecked());
    seFilterAgeMax->setEnabled(checkFilterAge->isChecked());
}

void ResultsPage::AddResultRow(int position, bool select)
{
    model->Append(position);
    if (select && model->rowCount() > 0)
        SelectRow(gridResults, model->rowCount() - 1);
}

bool ResultsPage::AppendFinishedSession(const TCLTSession &session)
{
    // The finished session is nearly always the last one.
    for (std::size_t i = archive.Count(); i-- > 0;) {
        if (&archive[i] == &session) {
            AddResultRow(static_cast<int>(i), true);
            return true;
        }
    }
    return false;
}

void ResultsPage::RefillResults(bool applyFilter)
{
    if (archive.Empty()) {
        // Rows left over would name sessions that no longer exist.
        model->Clear();
        listReady = true;
        ClearResultView();
        return;
    }
    // Widths the user set during the run survive a refill; the stored row
    // index is the one the layout restores.
    if (listShown)
        SaveListLayout(gridResults, placement);
    {
        NotReady notReady(listReady);
        model->Clear();
    }
    {
        NotReady notReady(listReady);
        const ResultsFilter filter = CurrentFilter();
        std::vector<int> positions;
        positions.reserve(archive.Count());
        int position = 0;
        for (const auto &session : archive) {
            if (!applyFilter || MatchesFilter(*session, filter))
                positions.push_back(position);
            ++position;
        }
        model->Reset(std::move(positions));
    }
    listShown = true;
    RestoreListLayout(gridResults, placement);
    if (model->rowCount() == 0 || SelectedRow(gridResults) < 0)
        ClearResultView();
}

void ResultsPage::onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (ignoreSelection)
        return;
    // The row gaining the selection is handled last, so the view ends on it.
    if (!deselected.isEmpty() && selected.isEmpty()) {
        const QModelIndexList lost = deselected.indexes();
        gridResultsSelectItem(lost.isEmpty() ? -1 : lost.first().row());
        return;
    }
    const QModelIndexList gained = selected.indexes();
    if (!gained.isEmpty())
        gridResultsSelectItem(gained.first().row());
}

void ResultsPage::redrawSelected() { gridResultsSelectItem(SelectedRow(gridResults)); }

void ResultsPage::redrawChoices()
{
    const int row = SelectedRow(gridResults);
    if (!listReady || row < 0 || row >= model->rowCount())
        return;
    const int position = model->PositionAt(row);
    if (position < 0 || static_cast<std::size_t>(position) >= archive.Count())
        return;
    const TCLTSession &session = archive[static_cast<std::size_t>(position)];
    if (!TeHeaderPanel4->Rolled())
        DrawEightColourChoices(session);
    if (!TeHeaderPanel5->Rolled())
        DrawFullTestChoices(session);
}

void ResultsPage::gridResultsSelectItem(int row)
{
    if (!listReady)
        return;
    if (model->rowCount() == 0 || row < 0) {
        ClearResultView();
        return;
    }
    const int position = model->PositionAt(row);
    if (position < 0 || static_cast<std::size_t>(position) >= archive.Count())
        return;
    TCLTSession &session = archive[static_cast<std::size_t>(position)];
    labelResultsUserName->setText(QString::fromStdString(session.FullName()));
    labelResultsUserSexAge->setText(QString::fromStdString(session.SexAgeText()));
    labelResultsUserGroup->setText(QString::fromStdString(session.Group));
    labelResultsSessionStarted->setText(FormatOleDateTime(session.StartedAt, dateTimeFormat));
    labelResultsSessionDuration->setText(DurationQText(session.DurationSeconds));
    if (!TeHeaderPanel4->Rolled())
        DrawEightColourChoices(session);
    if (!TeHeaderPanel5->Rolled())
        DrawFullTestChoices(session);
    memoResultsBriefSummary->setPlainText(QString::fromStdString(session.BriefConclusion));
    memoResultsTotalSummary->setPlainText(QString::fromStdString(session.DetailedConclusion));
    memoResultsFactorSummary->setPlainText(QString::fromStdString(session.AdditionalFindings));
}

void ResultsPage::ClearResultView()
{
    for (QLabel *label : {labelResultsUserName, labelResultsUserSexAge, labelResultsUserGroup,
                          labelResultsSessionStarted, labelResultsSessionDuration})
        label->clear();
    memoResultsBriefSummary->clear();
    memoResultsTotalSummary->clear();
    memoResultsFactorSummary->clear();
    panel8CChoices1->ClearDrawing();
    panel8CChoices2->ClearDrawing();
    panelFullChoices->ClearDrawing();
}

QColor ResultsPage::colourOf(ColourTable table, int entry) const
{
    return ToQColor(colours[static_cast<std::size_t>(ColourIndex(table, entry))]);
}

void ResultsPage::DrawEightColourChoices(const TCLTSession &session)
{
    for (int r = 1; r <= 2; ++r) {
        SwatchPanel *panel = EightColourPanel(r);
        panel->ClearDrawing();
        if (r == 2 && session.TestKind == KindEightOnce)
            break;
        const int W = panel->width();
        const int H = panel->height();
        const int w = (W - 45) / 8;
        const int h = H - 55;
        const int top = 5;
        for (int k = 1; k <= 8; ++k) {
            const int tag = session.Choice[r][k];
            // A position never picked (or a damaged record) draws nothing.
            if (tag < 1 || tag > 8)
                continue;
            const int left = (w + 5) * (k - 1) + 5;
            const int centre = left + w / 2;
            panel->AddSwatch(QRect(left, top, w, h), colourOf(ColourTable::EightColour, tag));
            panel->AddCaption(centre - 2, top + h + 3, QString::number(tag - 1));
            const int mark = session.AcMark[r][k];
            if (mark == 1 || mark == 2)
                panel->AddCaption(centre - 2, top + h + 18, mark == 1 ? QStringLiteral("A") : QStringLiteral("C"));
            const int weight = std::min(session.AcWeight[r][k], 8);
            if (weight > 0)
                panel->AddCaption(centre - weight, top + h + 33, QString(weight, QLatin1Char('!')));
        }
    }
}

void ResultsPage::DrawFullTestChoices(const TCLTSession &session)
{
    SwatchPanel *panel = panelFullChoices;
    panel->ClearDrawing();
    // Only the notice: the panel shrinks to it rather than leave the grid's
    // height empty.
    if (session.TestKind != KindFull) {
        TeLabel28->show();
        panel->setFixedHeight(NoticePanelHeight);
        return;
    }
    TeLabel28->hide();
    panel->setFixedHeight(FullChoicesPanelHeight);

    const int W = panel->width();
    const int w = (W - 117) / 4;
    const int swatchHeight = 15;
    auto columnLeft = [w](int c) { return (w + 5) * (c - 1) + 97; };
    auto centred = [w, &columnLeft](int c) { return columnLeft(c) + w / 2 - 2; };

    panel->AddCaption(4, 7, text("Серые цвета"), false, RowCaptionWidth);
    const int greyColumns[3] = {1, 2, 4};
    for (int i = 1; i <= 3; ++i) {
        const int tile = session.AchromaticChoice[i];
        if (tile < 1 || tile > TableSize(ColourTable::Achromatic))
            continue;
        const int left = columnLeft(greyColumns[i - 1]);
        panel->AddSwatch(QRect(left, 7, w, swatchHeight), colourOf(ColourTable::Achromatic, tile));
        const QString sign = i < 3 ? QStringLiteral("+") : QStringLiteral("-");
        panel->AddCaption(left + w / 3, 7 + swatchHeight + 3, sign + QString::number(tile - 1));
    }

    for (int c = 1; c <= 4; ++c)
        panel->AddCaption(centred(c), 43, QString::fromStdString(ShadeLetters[static_cast<std::size_t>(c - 1)]));

    const char *const tableCaptions[5] = {"Основные цвета", "Синие цвета", "Зеленые цвета", "Желтые цвета",
                                          "Красные цвета"};
    for (int t = 1; t <= 5; ++t) {
        const int top = 62 + 35 * (t - 1);
        panel->AddCaption(4, top, text(tableCaptions[t - 1]), false, RowCaptionWidth);
        for (int c = 1; c <= 4; ++c) {
            const int left = columnLeft(c);
            panel->AddSwatch(QRect(left, top, w, swatchHeight), colourOf(FourColourTable(t), c));
            panel->AddCaption(left + w / 2 - 2, top + swatchHeight + 3, QString::number(session.PairWins[t][c]));
        }
    }

    static constexpr int NormLow[4] = {3, 3, 5, 3};
    static constexpr int NormHigh[4] = {7, 8, 10, 9};
    const int scoreTop = 245;
    const int normTop = scoreTop + 23;
    const int cubeTop = normTop + 23;
    panel->AddCaption(4, scoreTop, text("Сумма С+З+Ж+К"), false, RowCaptionWidth);
    panel->AddCaption(4, normTop, text("Норма"), false, RowCaptionWidth);
    panel->AddCaption(4, cubeTop, text("Позиции куба"), false, RowCaptionWidth);
    for (int c = 1; c <= 4; ++c) {
        const int score = session.ShadeScore[c];
        panel->AddCaption(centred(c), scoreTop,
                          score == ValueUndefined ? QStringLiteral("±") : QString::number(score));
        panel->AddCaption((w + 4) * (c - 1) + 97 + w / 2 - 4, normTop,
                          QString::number(NormLow[c - 1]) + QLatin1Char('-') + QString::number(NormHigh[c - 1]));
        const int tendency = session.ShadeTendency[c];
        panel->AddCaption(centred(c), cubeTop,
                          tendency == ValueUndefined ? QStringLiteral("±") + QString::number(c)
                                                     : QString::number(tendency));
    }
}

TCLTSession *ResultsPage::selectedSession() const
{
    if (model->rowCount() == 0)
        return nullptr;
    const int row = SelectedRow(gridResults);
    if (row < 0)
        return nullptr;
    const int position = model->PositionAt(row);
    if (position < 0 || static_cast<std::size_t>(position) >= archive.Count())
        return nullptr;
    return &archive[static_cast<std::size_t>(position)];
}

QString ResultsPage::SessionReportText() const
{
    const TCLTSession *session = selectedSession();
    return session ? ::SessionReportText(*session, dateTimeFormat) : QString();
}

QString ResultsPage::reportForExport() const { return WithCrLfLines(SessionReportText()); }

bool ResultsPage::ResultsDeleteExecute()
{
    if (model->rowCount() == 0)
        return false;
    const int row = SelectedRow(gridResults);
    if (row < 0)
        return false;
    const int position = model->PositionAt(row);
    if (position < 0 || static_cast<std::size_t>(position) >= archive.Count())
        return false;
    if (!UserDialogs::Current().AskYesNo(this, text("Вы действительно хотите удалить текущую запись списка?"), false))
        return false;
    const std::string &file = archive[static_cast<std::size_t>(position)].SourceFile;
    if (file.empty() || !DeleteSessionFile(file)) {
        UserDialogs::Current().ShowInfo(this, text("Невозможно удалить текущую запись. Попробуйте позже."), false);
        return false;
    }
    {
        Ignoring ignoring(ignoreSelection);
        // Held until the rows no longer name it.
        std::unique_ptr<TCLTSession> removed = archive.Take(static_cast<std::size_t>(position));
        model->RemoveRowOfDeletedSession(row, position);
    }
    if (model->rowCount() == 0) {
        ClearResultView();
        return true;
    }
    // The selection model may already have moved onto the next row while the
    // row was removed, and then selecting it raises no event: show it here.
    bool selected;
    {
        Ignoring ignoring(ignoreSelection);
        selected = SelectRow(gridResults, std::min(row, model->rowCount() - 1));
    }
    if (selected)
        gridResultsSelectItem(SelectedRow(gridResults));
    else
        ClearResultView();
    return true;
}

bool ResultsPage::ResultsCopyExecute()
{
    const QString report = reportForExport();
    if (report.isEmpty())
        return false;
    QApplication::clipboard()->setText(report);
    return true;
}

bool ResultsPage::writeReport(const QString &path, const QString &report)
{
    QString error;
    if (WriteFileAtomically(path, ToCp1251Bytes(report), &error))
        return true;
    UserDialogs::Current().ShowWarning(this, text("Невозможно записать файл ") + QDir::toNativeSeparators(path)
                                                 + QStringLiteral("\r\n") + error);
    return false;
}

bool ResultsPage::ResultsExportMSWordExecute()
{
    const QString report = reportForExport();
    if (report.isEmpty())
        return false;
    const QString stamp = clock().toString(QStringLiteral("yyMMddHHmmss"));
    const QString path = QDir(temporaryFolder).filePath(QStringLiteral("PalettorResults_") + stamp
                                                        + QStringLiteral(".rtf"));
    if (!writeReport(path, report))
        return false;
    openFile(path);
    return true;
}

bool ResultsPage::ResultsSaveExecute()
{
    const QString report = reportForExport();
    if (report.isEmpty())
        return false;
    QString path = UserDialogs::Current().AskSaveFileName(this, text("Сохранить в файле"), QString(),
                                                          text("Текстовые файлы (*.txt)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    return writeReport(path, report);
}

// Preview, printing and e-mail have no output of their own yet; they only
// check that there is a report to work on.
bool ResultsPage::ResultsPreviewExecute() { return selectedSession() != nullptr; }
bool ResultsPage::ResultsPrintExecute() { return selectedSession() != nullptr; }
bool ResultsPage::ResultsSendEMailExecute() { return selectedSession() != nullptr; }

void ResultsPage::showContextMenu(const QPoint &at)
{
    QMenu menu(gridResults);
    menu.addAction(actResultsExportMSWord);
    menu.addAction(actResultsSave);
    menu.addSeparator();
    menu.addAction(actResultsFilter);
    menu.addAction(actResultsShowAll);
    menu.exec(gridResults->viewport()->mapToGlobal(at));
}
