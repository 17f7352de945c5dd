#pragma once

#include "statistics/GroupStatistics.h"

#include <QColor>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

// The statistics charts, painted by one routine whatever the device: the
// statistics page on screen, a PNG, the printer and the PDF of the page and
// of "palettor-cli stats --pdf". Sizes are in the painter's logical units,
// fonts in pixels of them, so a chart scales with the rectangle it is given.

// Colours of the eight swatches (colour numbers 0..7), from the program's
// colour table in effect.
using SwatchColours = std::array<QColor, StatColours>;
SwatchColours DefaultSwatchColours();

// Colour by position: a row per colour led by its swatch, a column per
// position, each cell shaded by the share of the group there.
void PaintHeatMap(QPainter &painter, const QRectF &area, const PositionTable &table, const SwatchColours &swatches,
                  const QString &decimalSeparator);

// One group's heat map among several.
struct HeatMapGroup {
    QString Label;
    const PositionTable *Table = nullptr;
};

// Where a group's map goes: its heading ("7А — n = 24") over the map.
struct HeatMapPanel {
    QString Heading;
    QRectF HeadingArea;
    QRectF Map;
};

// The panels of the groups within the area: side by side or one above the
// other, whichever keeps each map nearer the shape it reads best in.
std::vector<HeatMapPanel> LayOutHeatMaps(const QRectF &area, const std::vector<HeatMapGroup> &groups,
                                         double headingHeight);

// Every group's heat map, headed with its name and n. The shades share one
// scale, so the same shade is the same share in each map.
void PaintHeatMaps(QPainter &painter, const QRectF &area, const std::vector<HeatMapGroup> &groups,
                   const SwatchColours &swatches, const QString &decimalSeparator);

// One group shown on the position chart.
struct ChartGroup {
    QString Label;
    const GroupStatistics *Statistics = nullptr;
};

// Position per colour: for every group side by side, a dot at the median and
// a bar over the interquartile range; positions 1 (left) to 8.
void PaintPositionChart(QPainter &painter, const QRectF &area, const std::vector<ChartGroup> &groups,
                        const SwatchColours &swatches);

// The marker colour of the k-th group on the chart.
QColor GroupMarkerColour(std::size_t k);
