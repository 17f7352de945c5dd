#include "statsview/StatisticsCharts.h"

#include "statistics/StatisticsText.h"
#include "testing/ColourTables.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QString text(const std::string &utf8) { return QString::fromStdString(utf8); }

void setFontHeight(QPainter &painter, double height)
{
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(height))));
    painter.setFont(font);
}

} // namespace

SwatchColours DefaultSwatchColours()
{
    SwatchColours colours;
    for (int c = 0; c < StatColours; ++c) {
        const ColourValue value =
            DefaultColours[static_cast<std::size_t>(ColourIndex(ColourTable::EightColour, c + 1))];
        colours[static_cast<std::size_t>(c)] = QColor(RedOf(value), GreenOf(value), BlueOf(value));
    }
    return colours;
}

QColor GroupMarkerColour(std::size_t k)
{
    static const QColor markers[] = {QColor(20, 20, 20), QColor(200, 90, 0), QColor(0, 110, 180)};
    return markers[k % std::size(markers)];
}

namespace {

double largestShare(const PositionTable &table)
{
    double largest = 0;
    for (int c = 0; c < StatColours; ++c)
        for (int p = 1; p <= StatColours; ++p)
            largest = std::max(largest, table.N == 0 ? 0.0 : table.Share(c, p));
    return largest;
}

// `largest` is the share shaded deepest.
void paintHeatMap(QPainter &painter, const QRectF &area, const PositionTable &table, double largest,
                  const SwatchColours &swatches, const QString &decimalSeparator)
{
    painter.save();
    const double swatchWidth = area.width() * 0.16;
    const double headerHeight = area.height() / 9.0;
    const double cellWidth = (area.width() - swatchWidth) / StatColours;
    const double cellHeight = (area.height() - headerHeight) / StatColours;
    const std::string separator = decimalSeparator.toStdString();
    setFontHeight(painter, std::min(cellHeight, cellWidth) * 0.32);
    painter.setPen(Qt::black);
    for (int p = 1; p <= StatColours; ++p)
        painter.drawText(QRectF(area.left() + swatchWidth + (p - 1) * cellWidth, area.top(), cellWidth, headerHeight),
                         Qt::AlignCenter, QString::number(p));
    for (int c = 0; c < StatColours; ++c) {
        const double top = area.top() + headerHeight + c * cellHeight;
        const QRectF swatch(area.left(), top + cellHeight * 0.1, swatchWidth * 0.9, cellHeight * 0.8);
        painter.setPen(QPen(Qt::darkGray, 0));
        painter.setBrush(swatches[static_cast<std::size_t>(c)]);
        painter.drawRect(swatch);
        painter.setPen(swatches[static_cast<std::size_t>(c)].lightness() < 128 ? Qt::white : Qt::black);
        painter.drawText(swatch, Qt::AlignCenter, QString::number(c));
        for (int p = 1; p <= StatColours; ++p) {
            const double share = table.N == 0 ? 0.0 : table.Share(c, p);
            const double strength = largest > 0 ? share / largest : 0.0;
            // White for none, deep blue for the largest share.
            const QColor shade =
                QColor::fromRgbF(static_cast<float>(1.0 - 0.85 * strength), static_cast<float>(1.0 - 0.7 * strength),
                                 static_cast<float>(1.0 - 0.25 * strength));
            const QRectF cell(area.left() + swatchWidth + (p - 1) * cellWidth, top, cellWidth, cellHeight);
            painter.setPen(QPen(Qt::lightGray, 0));
            painter.setBrush(shade);
            painter.drawRect(cell);
            painter.setPen(strength > 0.55 ? Qt::white : Qt::black);
            if (table.N > 0)
                painter.drawText(cell, Qt::AlignCenter, text(FigureText(share * 100.0, 0, separator)));
        }
    }
    painter.restore();
}

} // namespace

void PaintHeatMap(QPainter &painter, const QRectF &area, const PositionTable &table, const SwatchColours &swatches,
                  const QString &decimalSeparator)
{
    paintHeatMap(painter, area, table, largestShare(table), swatches, decimalSeparator);
}

std::vector<HeatMapPanel> LayOutHeatMaps(const QRectF &area, const std::vector<HeatMapGroup> &groups,
                                         double headingHeight)
{
    std::vector<HeatMapPanel> panels;
    const auto count = static_cast<double>(groups.size());
    if (groups.empty())
        return panels;
    // A map reads best a little wider than tall (a swatch column and eight
    // cells across, a header row and eight rows down).
    constexpr double bestShape = 1.25;
    const double gap = groups.size() > 1 ? headingHeight * 0.8 : 0;
    const QSizeF beside((area.width() - gap * (count - 1)) / count, area.height() - headingHeight);
    const QSizeF above(area.width(), (area.height() - gap * (count - 1)) / count - headingHeight);
    const auto misfit = [](const QSizeF &size) {
        if (size.width() <= 0 || size.height() <= 0)
            return std::numeric_limits<double>::infinity();
        return std::abs(std::log(size.width() / size.height() / bestShape));
    };
    const bool sideBySide = misfit(beside) <= misfit(above);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const double k = static_cast<double>(g);
        const QPointF corner = sideBySide
            ? QPointF(area.left() + k * (beside.width() + gap), area.top())
            : QPointF(area.left(), area.top() + k * (above.height() + headingHeight + gap));
        const QSizeF map = sideBySide ? beside : above;
        HeatMapPanel panel;
        const std::size_t n = groups[g].Table ? groups[g].Table->N : 0;
        panel.Heading = groups[g].Label + QStringLiteral(" — n = %1").arg(n);
        panel.HeadingArea = QRectF(corner, QSizeF(map.width(), headingHeight));
        panel.Map = QRectF(corner + QPointF(0, headingHeight), map);
        panels.push_back(panel);
    }
    return panels;
}

void PaintHeatMaps(QPainter &painter, const QRectF &area, const std::vector<HeatMapGroup> &groups,
                   const SwatchColours &swatches, const QString &decimalSeparator)
{
    double largest = 0;
    for (const HeatMapGroup &group : groups)
        if (group.Table)
            largest = std::max(largest, largestShare(*group.Table));
    const double headingHeight = QFontMetricsF(painter.font()).height() * 1.4;
    const std::vector<HeatMapPanel> panels = LayOutHeatMaps(area, groups, headingHeight);
    for (std::size_t g = 0; g < panels.size(); ++g) {
        const HeatMapPanel &panel = panels[g];
        // A long name gives way; its n always shows.
        const QString count = panel.Heading.mid(groups[g].Label.size());
        const QFontMetricsF metrics(painter.font());
        const QString label = metrics.elidedText(groups[g].Label, Qt::ElideRight,
                                                 panel.HeadingArea.width() - metrics.horizontalAdvance(count));
        painter.setPen(Qt::black);
        painter.drawText(panel.HeadingArea, Qt::AlignLeft | Qt::AlignVCenter, label + count);
        if (groups[g].Table)
            paintHeatMap(painter, panel.Map, *groups[g].Table, largest, swatches, decimalSeparator);
    }
}

void PaintPositionChart(QPainter &painter, const QRectF &area, const std::vector<ChartGroup> &groups,
                        const SwatchColours &swatches)
{
    painter.save();
    const double swatchWidth = area.width() * 0.1;
    const double axisHeight = area.height() / 10.0;
    const double plotLeft = area.left() + swatchWidth;
    const double plotWidth = area.width() - swatchWidth;
    const double rowHeight = (area.height() - axisHeight) / StatColours;
    const auto xOf = [&](double position) { return plotLeft + (position - 0.5) / StatColours * plotWidth; };
    setFontHeight(painter, std::min(rowHeight * 0.35, axisHeight * 0.45));
    // Grid and axis: positions 1..8.
    for (int p = 1; p <= StatColours; ++p) {
        painter.setPen(QPen(QColor(220, 220, 220), 0));
        painter.drawLine(QPointF(xOf(p), area.top()), QPointF(xOf(p), area.bottom() - axisHeight));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(xOf(p) - plotWidth / 16, area.bottom() - axisHeight, plotWidth / 8, axisHeight),
                         Qt::AlignCenter, QString::number(p));
    }
    const std::size_t count = std::max<std::size_t>(groups.size(), 1);
    for (int c = 0; c < StatColours; ++c) {
        const double top = area.top() + c * rowHeight;
        painter.setPen(QPen(Qt::darkGray, 0));
        painter.setBrush(swatches[static_cast<std::size_t>(c)]);
        painter.drawRect(QRectF(area.left(), top + rowHeight * 0.15, swatchWidth * 0.8, rowHeight * 0.7));
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const GroupStatistics *statistics = groups[g].Statistics;
            if (!statistics || statistics->Table.N == 0)
                continue;
            const ColourSummary &s = statistics->Colours[static_cast<std::size_t>(c)];
            const double y = top + rowHeight * (g + 1.0) / (count + 1.0);
            const QColor marker = GroupMarkerColour(g);
            painter.setPen(QPen(marker, std::max(1.0, rowHeight * 0.08), Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(QPointF(xOf(s.LowerQuartile), y), QPointF(xOf(s.UpperQuartile), y));
            painter.setPen(Qt::NoPen);
            painter.setBrush(marker);
            const double radius = std::max(1.5, rowHeight * 0.12);
            painter.drawEllipse(QPointF(xOf(s.MedianPosition), y), radius, radius);
        }
    }
    painter.restore();
}
