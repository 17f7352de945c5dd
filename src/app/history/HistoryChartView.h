#pragma once

#include "app/statistics/ChartView.h"
#include "statsview/HistoryCharts.h"

// The history's two charts on screen, drawn by the same routines as the
// printed pages: colour positions above, intensity below. Its pop-up menu
// saves them as a PNG picture.
class HistoryChartView : public ChartView {
    Q_OBJECT
public:
    // The history must outlive the view.
    HistoryChartView(const PersonHistory &history, const SwatchColours &swatches, QStringList labels,
                     QWidget *parent = nullptr);

    QSize sizeHint() const override { return {560, 600}; }
    QSize minimumSizeHint() const override { return {320, 360}; }
};
