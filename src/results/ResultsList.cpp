#include "results/ResultsList.h"

#include "qtkit/DateTimeText.h"
#include "results/ListLayout.h"
#include "results/ResultsModel.h"
#include "results/ResultsSearchProxy.h"
#include "testing/TestKinds.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace {
// Every width is the user's to change and is stored. Until one is stored or
// dragged, the name column takes the width the others leave, so the first
// view needs no sideways scrolling.
constexpr int DefaultColumnWidths[ResultsModel::ColumnCount] = {40, 120, 100, 160, 100};
constexpr int NameColumn = 3;
constexpr int NarrowestName = 90;
constexpr int HeaderLines = 2;

// The widest word: a caption wraps at its blanks.
int widestWord(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}
} // namespace

ResultsList::ResultsList(ArchiveList &archive, QWidget *parent)
    : QTableView(parent), model(new ResultsModel(archive, this)), proxy(new ResultsSearchProxy(*model, this)),
      dateTimeFormat(DateTimeFormatOf(QLocale(QLocale::Russian, QLocale::Russia)))
{
    setObjectName(QStringLiteral("gridResults"));
    setToolTip(QStringLiteral("Результаты тестирования"));
    model->SetDateTimeFormat(dateTimeFormat);
    setModel(proxy);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Unsorted (the archive's order) until a header is clicked.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    horizontalHeader()->setSortIndicatorShown(true);
    setSortingEnabled(true);
    setAlternatingRowColors(true);
    // The highlight stays visible when the list loses focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    // Fixed row heights: measuring rows costs seconds on a large archive.
    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setDefaultSectionSize(fontMetrics().height() + 6);
    rowsHeader->hide();
    QHeaderView *columnsHeader = horizontalHeader();
    columnsHeader->setSectionResizeMode(QHeaderView::Interactive);
    columnsHeader->setStretchLastSection(false);
    columnsHeader->setHighlightSections(false);
    // Long captions ("Продолжительность тестирования") wrap onto a second
    // line rather than widen their column past the window.
    columnsHeader->setDefaultAlignment(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter | int(Qt::TextWordWrap)));
    columnsHeader->setMinimumHeight(HeaderLines * fontMetrics().lineSpacing() + 8);
    for (int i = 0; i < ResultsModel::ColumnCount; ++i)
        setColumnWidth(i, DefaultColumnWidths[i]);
    widenColumnsToTheirTexts();
    connect(columnsHeader, &QHeaderView::sectionResized, this, [this] {
        if (QApplication::mouseButtons() & Qt::LeftButton)
            nameFillsRest = false; // dragged by the user: the width is theirs from now on
    });
}

void ResultsList::KeepNameWidth() { nameFillsRest = false; }

void ResultsList::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    if (!nameFillsRest)
        return;
    int others = 0;
    for (int i = 0; i < ResultsModel::ColumnCount; ++i)
        if (i != NameColumn)
            others += columnWidth(i);
    setColumnWidth(NameColumn, std::max(NarrowestName, viewport()->width() - others));
}

void ResultsList::SetDateTimeFormat(const QString &format)
{
    dateTimeFormat = format;
    model->SetDateTimeFormat(format);
    widenColumnsToTheirTexts(); // the dates of this format may be wider
}

int ResultsList::Selected() const { return proxy->SourceRow(SelectedRow(this)); }

bool ResultsList::SelectModelRow(int row) { return SelectRow(this, proxy->ShownRow(row)); }

const TCLTSession *ResultsList::SelectedSession() const { return model->SessionAt(Selected()); }

bool ResultsList::event(QEvent *event)
{
    // The view would copy the text of its current cell on Ctrl+C, and the
    // window's copy of selected text would take the key first. The override
    // is accepted, so the key reaches the list, which copies the report.
    if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            emit copyRequested();
        return true;
    }
    return QTableView::event(event);
}

void ResultsList::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QTableView::selectionChanged(selected, deselected);
    // The row gaining the selection is handled last, so the view ends on it.
    if (!deselected.isEmpty() && selected.isEmpty()) {
        const QModelIndexList lost = deselected.indexes();
        emit rowPicked(lost.isEmpty() ? -1 : proxy->SourceRow(lost.first().row()));
        return;
    }
    const QModelIndexList gained = selected.indexes();
    if (!gained.isEmpty())
        emit rowPicked(proxy->SourceRow(gained.first().row()));
}

void ResultsList::widenColumnsToTheirTexts()
{
    // The default widths were chosen for a small system font; with a larger
    // one a date or a test name would be cut, so a column is widened to what
    // its header and its widest fixed-form text need. Only ever widens, so
    // stored widths restored later win.
    const QFontMetrics metrics = fontMetrics();
    const int padding = 10;
    QString widestKind;
    for (int kind = 1; kind <= TestKindCount; ++kind) {
        const QString name = QString::fromStdString(TestKindListName(kind));
        if (metrics.horizontalAdvance(name) > metrics.horizontalAdvance(widestKind))
            widestKind = name;
    }
    // Month names differ in width: measure a two-digit day of every month.
    QString widestDate;
    for (int month = 1; month <= 12; ++month) {
        const QString date =
            FormatOleDateTime(ToOleDate(LocalDateTime{2028, month, 28, 20, 58, 58, 0}), dateTimeFormat);
        if (metrics.horizontalAdvance(date) > metrics.horizontalAdvance(widestDate))
            widestDate = date;
    }
    const QString samples[ResultsModel::ColumnCount] = {QStringLiteral("00000"), widestDate, widestKind, QString(),
                                                        DurationQText(23 * 3600 + 59 * 60 + 59)};
    for (int i = 0; i < ResultsModel::ColumnCount; ++i) {
        const QString caption = model->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        const int needed = std::max(metrics.horizontalAdvance(samples[i]), widestWord(metrics, caption)) + padding;
        setColumnWidth(i, std::max(columnWidth(i), needed));
    }
}
