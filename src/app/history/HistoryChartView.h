#pragma once

#include "statsview/HistoryCharts.h"

#include <QWidget>

// The history's two charts on screen, drawn by the same routines as the
// printed pages: colour positions above, intensity below.
class HistoryChartView : public QWidget {
    Q_OBJECT
public:
    HistoryChartView(const PersonHistory &history, const SwatchColours &swatches, QStringList labels,
                     QWidget *parent = nullptr);

    QSize sizeHint() const override { return {560, 600}; }
    QSize minimumSizeHint() const override { return {320, 360}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const PersonHistory &history;
    SwatchColours swatches;
    QStringList labels;
};
