#include "statsview/HistoryDocument.h"

#include "qtkit/AtomicFile.h"
#include "report/ReportPdf.h"
#include "statistics/StatisticsText.h"
#include "testing/TestKinds.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Logical page: 1000 units wide, A4's proportions.
constexpr double PageWidth = 1000;
constexpr double PageHeight = 1414;
constexpr double RowHeight = 26;
// Sentences are given room for two lines each, so pages are known before
// anything is painted.
constexpr double SentenceHeight = 52;
constexpr double HeadHeight = 190;

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

// What runs through the text pages: the table's rows, then the sentences.
struct Item {
    std::size_t Row = 0; // a table row (the step's index) unless IsSentence
    bool IsSentence = false;
    QString Sentence;
};

std::vector<Item> itemsOf(const PersonHistory &history, const std::string &separator)
{
    std::vector<Item> items;
    for (std::size_t i = 0; i < history.Steps.size(); ++i)
        items.push_back({i, false, {}});
    for (std::size_t i = 0; i < history.Steps.size(); ++i)
        if (const std::string sentence = ChangeSentence(history, i, separator); !sentence.empty())
            items.push_back({i, true, qs(sentence)});
    return items;
}

double heightOf(const Item &item) { return item.IsSentence ? SentenceHeight : RowHeight; }

// The first item of each text page.
std::vector<std::size_t> pageStarts(const std::vector<Item> &items)
{
    std::vector<std::size_t> starts{0};
    double y = HeadHeight + RowHeight;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (y + heightOf(items[i]) > PageHeight) {
            starts.push_back(i);
            y = RowHeight;
        }
        y += heightOf(items[i]);
    }
    return starts;
}

void setFont(QPainter &painter, double pixels, bool bold = false)
{
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    painter.setFont(font);
}

const double ColumnWidths[] = {40, 170, 250, 160, 70, 110, 110, 90};

void paintRow(QPainter &painter, double y, const QStringList &cells, bool bold)
{
    setFont(painter, 15, bold);
    double x = 0;
    for (qsizetype i = 0; i < cells.size() && i < static_cast<qsizetype>(std::size(ColumnWidths)); ++i) {
        const double width = ColumnWidths[i];
        const Qt::Alignment align = (i == 0 || i >= 4) ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(QRectF(x + 4, y, width - 8, RowHeight), align | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(cells[i], Qt::ElideRight, static_cast<int>(width - 8)));
        x += width;
    }
}

void paintHeader(QPainter &painter, double y)
{
    paintRow(painter, y,
             {QStringLiteral("№"), QStringLiteral("Дата"), QStringLiteral("Тест"), QStringLiteral("Группа"),
              QStringLiteral("Выбор"), QStringLiteral("ρ с пред."), QStringLiteral("ρ 1–2"), QStringLiteral("Тревога")},
             true);
    painter.drawLine(QPointF(0, y + RowHeight), QPointF(PageWidth, y + RowHeight));
}

void paintTextPage(QPainter &painter, std::size_t page, const PersonHistory &history, const HistoryDocumentText &text)
{
    const std::vector<Item> items = itemsOf(history, text.DecimalSeparator.toStdString());
    const std::vector<std::size_t> starts = pageStarts(items);
    painter.setPen(Qt::black);
    double y = 0;
    if (page == 0) {
        setFont(painter, 30, true);
        painter.drawText(QRectF(0, 0, PageWidth, 44), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("История тестируемого"));
        setFont(painter, 18);
        painter.drawText(QRectF(0, 50, PageWidth, 30), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         text.Person);
        setFont(painter, 16);
        painter.drawText(QRectF(0, 88, PageWidth, HeadHeight - 96), Qt::TextWordWrap,
                         qs(YardstickSentence(history, text.DecimalSeparator.toStdString())));
        y = HeadHeight;
    }
    const std::size_t begin = starts[page];
    const std::size_t end = page + 1 < starts.size() ? starts[page + 1] : items.size();
    if (begin < end && !items[begin].IsSentence) {
        paintHeader(painter, y);
        y += RowHeight;
    }
    for (std::size_t i = begin; i < end; ++i) {
        const Item &item = items[i];
        if (item.IsSentence) {
            setFont(painter, 15);
            painter.drawText(QRectF(0, y + 4, PageWidth, SentenceHeight - 4), Qt::TextWordWrap, item.Sentence);
        } else {
            const HistoryRowText row = item.Row < text.Rows.size() ? text.Rows[item.Row] : HistoryRowText{};
            paintRow(painter, y,
                     QStringList{QString::number(item.Row + 1), row.Date, row.Kind, row.Group}
                         + HistoryFigureCells(history.Steps[item.Row], text.DecimalSeparator),
                     false);
        }
        y += heightOf(item);
    }
}

QStringList labelsOf(const HistoryDocumentText &text)
{
    QStringList labels;
    for (const HistoryRowText &row : text.Rows)
        labels << row.Day;
    return labels;
}

void paintChartPage(QPainter &painter, const PersonHistory &history, const HistoryDocumentText &text,
                    const SwatchColours &swatches)
{
    painter.setPen(Qt::black);
    setFont(painter, 22, true);
    painter.drawText(QRectF(0, 0, PageWidth, 36), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Позиции цветов по сеансам (1 — самый приятный)"));
    const QStringList labels = labelsOf(text);
    PaintColourTrack(painter, QRectF(0, 50, PageWidth, 700), history, swatches, labels);
    painter.setPen(Qt::black);
    setFont(painter, 22, true);
    painter.drawText(QRectF(0, 790, PageWidth, 36), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Интенсивность тревоги и компенсации (0–12)"));
    PaintIntensityTrack(painter, QRectF(0, 840, PageWidth, 360), history, labels);
}

} // namespace

HistoryDocumentText HistoryTextOf(const PersonHistory &history, const DateFormatter &dateTime,
                                  const DateFormatter &date, const QString &decimalSeparator)
{
    HistoryDocumentText text;
    text.DecimalSeparator = decimalSeparator;
    if (!history.Steps.empty()) {
        const TCLTSession &person = *history.Steps.back().Session;
        text.Person = qs(person.FullName());
        if (person.BirthDate != 0)
            text.Person += QStringLiteral(", дата рождения ") + date(person.BirthDate);
    }
    for (const HistoryStep &step : history.Steps)
        text.Rows.push_back({dateTime(step.Session->StartedAt), qs(TestKindListName(step.Session->TestKind)),
                             qs(step.Session->Group), date(step.Session->StartedAt)});
    return text;
}

QStringList HistoryFigureCells(const HistoryStep &step, const QString &decimalSeparator)
{
    const std::string separator = decimalSeparator.toStdString();
    const QString none = QStringLiteral("—");
    const auto rho = [&](const std::optional<double> &value) {
        return value ? qs(FigureText(*value, 2, separator)) : none;
    };
    return {step.Choice == 0 ? none : QString::number(step.Choice), rho(step.RhoToPrevious), rho(step.OwnRho),
            step.Intensity ? QString::number(*step.Intensity) : none};
}

int HistoryPageCount(const PersonHistory &history)
{
    return static_cast<int>(pageStarts(itemsOf(history, ",")).size()) + 1;
}

void PaintHistoryPage(QPainter &painter, const QRectF &page, int index, const PersonHistory &history,
                      const HistoryDocumentText &text, const SwatchColours &swatches)
{
    painter.save();
    // Logical A4 page fitted into the rectangle, proportions kept.
    const double scale = std::min(page.width() / PageWidth, page.height() / PageHeight);
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    if (index + 1 < HistoryPageCount(history))
        paintTextPage(painter, static_cast<std::size_t>(index), history, text);
    else
        paintChartPage(painter, history, text, swatches);
    painter.restore();
}

void PrintHistory(QPagedPaintDevice &device, const PersonHistory &history, const HistoryDocumentText &text,
                  const SwatchColours &swatches)
{
    QPainter painter(&device);
    const QRectF page(QPointF(0, 0), QSizeF(device.width(), device.height()));
    for (int i = 0; i < HistoryPageCount(history); ++i) {
        if (i > 0)
            device.newPage();
        PaintHistoryPage(painter, page, i, history, text, swatches);
    }
}

bool WriteHistoryPdf(const PersonHistory &history, const HistoryDocumentText &text, const SwatchColours &swatches,
                     const QString &path, QString *error)
{
    const QByteArray bytes = PdfBytes(QStringLiteral("История тестируемого"), [&](QPagedPaintDevice &device) {
        PrintHistory(device, history, text, swatches);
    });
    if (!bytes.startsWith("%PDF")) {
        if (error)
            *error = QStringLiteral("не удалось построить документ PDF");
        return false;
    }
    return WriteFileAtomically(path, bytes, error);
}
