#pragma once

#include "statsview/StatisticsCharts.h"

#include <QRectF>
#include <QWidget>

#include <functional>

class QImage;
class QPainter;

// A chart on screen: the same painting routine the printed pages use, given
// the widget's rectangle. Empty until a routine is set.
class ChartView : public QWidget {
    Q_OBJECT
public:
    using Paint = std::function<void(QPainter &, const QRectF &)>;

    explicit ChartView(QWidget *parent = nullptr);
    void SetPaint(Paint paint);
    bool HasChart() const { return static_cast<bool>(paint); }

    // The chart as a picture twice the size shown, by the same routine;
    // empty without a chart.
    QImage Picture() const;
    // Asks where, and writes the picture as a PNG file (whole or not at
    // all); a failure is told to the user. Its pop-up menu offers it.
    bool SavePng();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Paint paint;
};

// A chart's title over its area; the rest of the area is returned.
QRectF PaintChartTitle(QPainter &painter, const QRectF &area, const QString &title);
// Which marker is which group, in one line over the chart; the rest of the
// area is returned.
QRectF PaintChartLegend(QPainter &painter, const QRectF &area, const std::vector<ChartGroup> &groups);
