#include "statsview/StatisticsDocument.h"

#include "qtkit/AtomicFile.h"
#include "report/ReportPdf.h"
#include "statistics/StatisticsText.h"
#include "testing/ColourTables.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Logical page: 1000 units wide, A4's proportions.
constexpr double PageWidth = 1000;
constexpr double PageHeight = 1414;
constexpr double LineHeight = 24;

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

class PageWriter {
public:
    PageWriter(QPainter &painter) : painter(painter) {}

    void Line(const QString &text, double height = LineHeight, bool bold = false)
    {
        QFont font = painter.font();
        font.setPixelSize(static_cast<int>(height * 0.7));
        font.setBold(bold);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QRectF box(0, y, PageWidth, PageHeight - y);
        const QRectF used = painter.boundingRect(box, Qt::TextWordWrap, text);
        painter.drawText(box, Qt::TextWordWrap, text);
        y += std::max(height, used.height() + height * 0.2);
    }
    void Skip(double height) { y += height; }
    double Y() const { return y; }

private:
    QPainter &painter;
    double y = 0;
};

void paintColourTable(QPainter &painter, PageWriter &writer, const GroupStatistics &g, const std::string &separator)
{
    const char *headers[] = {"Цвет", "n", "Среднее", "Медиана", "МКР", "1–2, %", "7–8, %"};
    const double widths[] = {220, 90, 130, 130, 150, 130, 130};
    const double top = writer.Y();
    QFont font = painter.font();
    font.setPixelSize(16);
    font.setBold(false);
    painter.setFont(font);
    const auto row = [&](int index, const QStringList &cells) {
        double x = 0;
        for (int i = 0; i < cells.size(); ++i) {
            painter.drawText(QRectF(x, top + index * LineHeight, widths[i], LineHeight),
                             (i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, cells[i]);
            x += widths[i];
        }
    };
    QStringList header;
    for (const char *h : headers)
        header << QString::fromUtf8(h);
    row(0, header);
    painter.drawLine(QPointF(0, top + LineHeight), QPointF(980, top + LineHeight));
    for (int c = 0; c < StatColours; ++c) {
        const ColourSummary &s = g.Colours[static_cast<std::size_t>(c)];
        row(c + 1,
            {qs(std::to_string(c) + " " + ColourName(c)), QString::number(s.N),
             qs(FigureText(s.MeanPosition, 2, separator)), qs(FigureText(s.MedianPosition, 1, separator)),
             qs(FigureText(s.LowerQuartile, 1, separator) + "–" + FigureText(s.UpperQuartile, 1, separator)),
             qs(FigureText(s.PlusShare * 100, 1, separator)), qs(FigureText(s.MinusShare * 100, 1, separator))});
    }
    writer.Skip(LineHeight * 9.5);
}

void paintFirstPage(QPainter &painter, const StatisticsOutput &output, const StatisticsDocumentText &text,
                    const SwatchColours &swatches)
{
    const std::string separator = text.DecimalSeparator.toStdString();
    const GroupStatistics &g = output.Group;
    PageWriter writer(painter);
    writer.Line(QStringLiteral("Статистика по группе"), 40, true);
    writer.Line(text.Selection);
    writer.Line(QStringLiteral("Выбор: %1-й; сеансов с этим выбором: %2").arg(g.Choice).arg(g.Table.N));
    writer.Line(qs(AgreementSentence(g.Friedman, separator)));
    if (g.Stability.N > 0)
        writer.Line(QStringLiteral("Устойчивость выбора (ρ Спирмена между 1-м и 2-м выбором, %1 чел.): медиана %2, "
                                   "квартили %3–%4")
                        .arg(g.Stability.N)
                        .arg(qs(FigureText(g.Stability.Median, 2, separator)),
                             qs(FigureText(g.Stability.LowerQuartile, 2, separator)),
                             qs(FigureText(g.Stability.UpperQuartile, 2, separator))));
    if (g.Intensity.N > 0)
        writer.Line(QStringLiteral("Интенсивность тревоги и компенсации: в среднем %1 (тревог %2, компенсаций %3)")
                        .arg(qs(FigureText(g.Intensity.MeanIntensity, 2, separator)),
                             qs(FigureText(g.Intensity.MeanAnxieties, 2, separator)),
                             qs(FigureText(g.Intensity.MeanCompensations, 2, separator))));
    writer.Skip(LineHeight / 2);
    paintColourTable(painter, writer, g, separator);
    std::vector<HeatMapGroup> maps{{text.Selection, &g.Table}};
    if (output.Versus) {
        writer.Line(text.VersusSelection, LineHeight, true);
        paintColourTable(painter, writer, *output.Versus, separator);
        maps.push_back({text.VersusSelection, &output.Versus->Table});
    }
    writer.Line(QStringLiteral("Доля позиций по цветам, %"), LineHeight * 1.2, true);
    QFont font = painter.font();
    font.setPixelSize(16);
    font.setBold(false);
    painter.setFont(font);
    // One map keeps the shape it had alone; two share the page's width.
    const double height = std::min(560.0, PageHeight - writer.Y() - LineHeight);
    PaintHeatMaps(painter, QRectF(0, writer.Y(), maps.size() > 1 ? PageWidth : 700, height), maps, swatches,
                  text.DecimalSeparator);
}

void paintSecondPage(QPainter &painter, const StatisticsOutput &output, const StatisticsDocumentText &text,
                     const SwatchColours &swatches)
{
    const std::string separator = text.DecimalSeparator.toStdString();
    PageWriter writer(painter);
    writer.Line(QStringLiteral("Позиции цветов: медиана и межквартильный размах"), 30, true);
    std::vector<ChartGroup> groups{{text.Selection, &output.Group}};
    if (output.Versus)
        groups.push_back({text.VersusSelection, &*output.Versus});
    for (std::size_t k = 0; k < groups.size(); ++k) {
        painter.setBrush(GroupMarkerColour(k));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(10, writer.Y() + LineHeight / 2), 7, 7);
        painter.translate(25, 0);
        writer.Line(groups[k].Label);
        painter.translate(-25, 0);
    }
    PaintPositionChart(painter, QRectF(0, writer.Y(), 900, 520), groups, swatches);
    writer.Skip(540);
    if (output.Versus) {
        writer.Line(text.VersusSelection + QStringLiteral(": ")
                    + qs(AgreementSentence(output.Versus->Friedman, separator)));
        writer.Line(QStringLiteral("Сравнение групп по каждому цвету (критерий Манна — Уитни):"), LineHeight, true);
        for (const ColourComparison &c : *output.Comparison)
            writer.Line(qs(ComparisonSentence(c, separator)), 20);
    }
    if (output.UserGroups) {
        writer.Line(QStringLiteral("Сравнение %1 групп по каждому цвету (критерий Краскела — Уоллиса):")
                        .arg(output.UserGroups->Names.size()),
                    LineHeight, true);
        for (const ColourKruskalWallis &k : output.UserGroups->Colours)
            writer.Line(qs(KruskalWallisSentence(k, separator)), 20);
    }
}

} // namespace

int StatisticsPageCount(const StatisticsOutput &) { return 2; }

void PaintStatisticsPage(QPainter &painter, const QRectF &page, int index, const StatisticsOutput &output,
                         const StatisticsDocumentText &text, const SwatchColours &swatches)
{
    painter.save();
    // Logical A4 page fitted into the rectangle, proportions kept.
    const double scale = std::min(page.width() / PageWidth, page.height() / PageHeight);
    painter.translate(page.topLeft());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    if (index == 0)
        paintFirstPage(painter, output, text, swatches);
    else
        paintSecondPage(painter, output, text, swatches);
    painter.restore();
}

void PrintStatistics(QPagedPaintDevice &device, const StatisticsOutput &output, const StatisticsDocumentText &text,
                     const SwatchColours &swatches)
{
    QPainter painter(&device);
    const QRectF page(QPointF(0, 0), QSizeF(device.width(), device.height()));
    for (int i = 0; i < StatisticsPageCount(output); ++i) {
        if (i > 0)
            device.newPage();
        PaintStatisticsPage(painter, page, i, output, text, swatches);
    }
}

QByteArray StatisticsPdfBytes(const StatisticsOutput &output, const StatisticsDocumentText &text,
                              const SwatchColours &swatches)
{
    return PdfBytes(QStringLiteral("Статистика по группе"),
                    [&](QPagedPaintDevice &device) { PrintStatistics(device, output, text, swatches); });
}

bool WriteStatisticsPdf(const StatisticsOutput &output, const StatisticsDocumentText &text,
                        const SwatchColours &swatches, const QString &path, QString *error)
{
    const QByteArray bytes = StatisticsPdfBytes(output, text, swatches);
    if (!bytes.startsWith("%PDF")) {
        if (error)
            *error = QStringLiteral("не удалось построить документ PDF");
        return false;
    }
    return WriteFileAtomically(path, bytes, error);
}
