#include "app/history/PersonHistoryWindow.h"

#include "app/history/HistoryChartView.h"
#include "core/SessionDetails.h"
#include "qtkit/StationContext.h"
#include "qtkit/UserDialogs.h"
#include "report/ReportPdf.h"
#include "results/ResultsPage.h"
#include "statistics/PersonIdentity.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

SwatchColours swatchesOf(const ColourSet &colours)
{
    SwatchColours swatches;
    for (int c = 0; c < StatColours; ++c) {
        const ColourValue value = colours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, c + 1))];
        swatches[static_cast<std::size_t>(c)] = QColor(RedOf(value), GreenOf(value), BlueOf(value));
    }
    return swatches;
}

QLabel *plainLabel(const QString &text, const char *name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    // Names come from what a person typed.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

PersonHistoryWindow::PersonHistoryWindow(std::vector<std::unique_ptr<TCLTSession>> owned, int unreadable,
                                         const StationContext &context, const ColourSet &colours, QWidget *parent)
    : QDialog(parent), sessions(std::move(owned)), swatches(swatchesOf(colours))
{
    setObjectName(QStringLiteral("PersonHistoryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    std::vector<const TCLTSession *> pointers;
    for (const auto &session : sessions)
        pointers.push_back(session.get());
    history = TracePerson(pointers);
    text = HistoryTextOf(
        history, [&context](OleDate when) { return context.DateTimeText(when); },
        [&context](OleDate when) { return context.DateText(when); }, qs(context.DecimalSeparator()));
    QStringList labels;
    for (const HistoryRowText &row : text.Rows)
        labels << row.Day;
    setWindowTitle(QStringLiteral("История тестируемого — ") + text.Person);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(plainLabel(text.Person, "labelHistoryPerson", this));
    const std::string separator = context.DecimalSeparator();
    QString note = qs(YardstickSentence(history, separator));
    if (unreadable > 0)
        note += QStringLiteral("\nНе удалось прочитать файлы сеансов этого человека: %1; они не вошли в историю.")
                    .arg(unreadable);
    layout->addWidget(plainLabel(note, "labelHistoryYardstick", this));

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    auto *left = new QWidget(splitter);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    table = new QTableWidget(left);
    table->setObjectName(QStringLiteral("tableHistory"));
    fillTable();
    leftLayout->addWidget(table, 3);
    auto *changes = new QPlainTextEdit(left);
    changes->setObjectName(QStringLiteral("memoHistoryChanges"));
    changes->setReadOnly(true);
    QStringList sentences;
    for (std::size_t i = 0; i < history.Steps.size(); ++i)
        if (const std::string sentence = ChangeSentence(history, i, separator); !sentence.empty())
            sentences << qs(sentence);
    changes->setPlainText(sentences.isEmpty() ? QStringLiteral("Сравнивать пока не с чем: нужен еще хотя бы один "
                                                               "сеанс с восьмицветным выбором.")
                                              : sentences.join(QStringLiteral("\n\n")));
    leftLayout->addWidget(changes, 2);
    chart = new HistoryChartView(history, swatches, labels, splitter);
    splitter->addWidget(left);
    splitter->addWidget(chart);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    // The table whole on the left, the charts in the rest.
    table->resizeColumnsToContents();
    int tableWidth = table->verticalHeader()->sizeHint().width() + 4 + 18;
    for (int column = 0; column < table->columnCount(); ++column)
        tableWidth += table->columnWidth(column);
    splitter->setSizes({tableWidth, std::max(480, 1100 - tableWidth)});
    layout->addWidget(splitter, 1);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *pdf = buttons->addButton(QStringLiteral("Сохранить в PDF..."), QDialogButtonBox::ActionRole);
    pdf->setObjectName(QStringLiteral("buttonHistoryPdf"));
    QPushButton *print = buttons->addButton(QStringLiteral("Печать..."), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("buttonHistoryPrint"));
    QPushButton *close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("buttonHistoryClose"));
    connect(pdf, &QPushButton::clicked, this, &PersonHistoryWindow::SavePdf);
    connect(print, &QPushButton::clicked, this, &PersonHistoryWindow::Print);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PersonHistoryWindow::~PersonHistoryWindow() = default;

void PersonHistoryWindow::fillTable()
{
    const QStringList headers{QStringLiteral("Дата"),   QStringLiteral("Тест"),      QStringLiteral("Группа"),
                              QStringLiteral("Выбор"),  QStringLiteral("ρ с пред."), QStringLiteral("ρ 1-го и 2-го"),
                              QStringLiteral("Тревога")};
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(static_cast<int>(history.Steps.size()));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeaderItem(4)->setToolTip(QStringLiteral("ρ Спирмена с предыдущим сеансом"));
    table->horizontalHeaderItem(5)->setToolTip(QStringLiteral("ρ Спирмена между первым и вторым выбором сеанса"));
    table->horizontalHeaderItem(6)->setToolTip(QStringLiteral("Интенсивность тревоги и компенсации, 0–12"));
    for (std::size_t i = 0; i < history.Steps.size(); ++i) {
        const HistoryRowText &row = text.Rows[i];
        const QStringList cells =
            QStringList{row.Date, row.Kind, row.Group} + HistoryFigureCells(history.Steps[i], text.DecimalSeparator);
        for (qsizetype column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column >= 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(static_cast<int>(i), static_cast<int>(column), item);
        }
    }
    table->resizeColumnsToContents();
}

bool PersonHistoryWindow::SavePdf()
{
    const QString path = AskSavePath(this, QStringLiteral("Сохранить историю в PDF"),
                                     QStringLiteral("Документы PDF (*.pdf)"), QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    QString error;
    if (WriteHistoryPdf(history, text, swatches, path, &error))
        return true;
    UserDialogs::Current().ShowWarning(this,
                                       QStringLiteral("Невозможно записать файл ") + QDir::toNativeSeparators(path)
                                           + QStringLiteral("\r\n") + error);
    return false;
}

bool PersonHistoryWindow::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    SetReportPageLayout(printer);
    if (!UserDialogs::Current().AskPrinter(this, printer))
        return false;
    PrintHistory(printer, history, text, swatches);
    return true;
}

std::vector<std::unique_ptr<TCLTSession>> ReadPersonSessions(const ArchiveList &archive, const TCLTSession &person,
                                                             int &unreadable)
{
    const std::string key = PersonIdentityKey(person);
    std::vector<std::unique_ptr<TCLTSession>> whole;
    unreadable = 0;
    TSimpleFileStream buffer;
    // Rows, not session objects: only the person's own sessions are made.
    for (std::size_t i = 0; i < archive.Count(); ++i) {
        const ListedRow row = archive.Row(i);
        if (PersonIdentityKey(row) != key)
            continue;
        if (row.Held && row.Held->DetailsRead) {
            whole.push_back(std::make_unique<TCLTSession>(*row.Held));
            continue;
        }
        auto read = std::make_unique<TCLTSession>();
        if (row.Context)
            read->Context = *row.Context;
        try {
            if (ReadSessionFile(std::string(row.Path), *read, buffer)) {
                whole.push_back(std::move(read));
                continue;
            }
        } catch (const StreamError &) {
        }
        ++unreadable;
    }
    return whole;
}

void ConnectPersonHistory(ResultsPage &page, const ArchiveList &archive, const StationContext &context)
{
    QObject::connect(
        &page, &ResultsPage::personHistoryRequested, &page, [&page, &archive, &context](const TCLTSession &person) {
            int unreadable = 0;
            auto sessions = ReadPersonSessions(archive, person, unreadable);
            auto *window = new PersonHistoryWindow(std::move(sessions), unreadable, context, page.Colours(), &page);
            // As large as is useful, within the screen the page is on.
            QSize size(1100, 760);
            if (const QScreen *screen = page.screen())
                size = size.boundedTo(screen->availableGeometry().size() * 0.92);
            window->resize(size);
            // Names and findings must not stay on screen when the station
            // turns to testing: the window holds the main one until closed.
            window->setWindowModality(Qt::WindowModal);
            window->show();
        });
}
