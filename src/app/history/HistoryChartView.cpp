#include "app/history/HistoryChartView.h"

#include <QPainter>

#include <algorithm>

HistoryChartView::HistoryChartView(const PersonHistory &history, const SwatchColours &swatches, QStringList labels,
                                   QWidget *parent)
    : ChartView(parent)
{
    setObjectName(QStringLiteral("HistoryChartView"));
    setMinimumSize(minimumSizeHint());
    SetPaint([&history, swatches, labels = std::move(labels)](QPainter &painter, const QRectF &area) {
        const double titleHeight = std::max(18.0, painter.fontMetrics().height() * 1.4);
        const double trackHeight = (area.height() - 2 * titleHeight) * 0.68;
        double y = area.top();
        const auto title = [&](const QString &text) {
            painter.setPen(Qt::black);
            painter.drawText(QRectF(area.left(), y, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
            y += titleHeight;
        };
        title(QStringLiteral("Позиции цветов по сеансам (1 — самый приятный)"));
        PaintColourTrack(painter, QRectF(area.left(), y, area.width(), trackHeight), history, swatches, labels);
        y += trackHeight;
        title(QStringLiteral("Интенсивность тревоги и компенсации (0–12)"));
        PaintIntensityTrack(painter, QRectF(area.left(), y, area.width(), area.bottom() - y), history, labels);
    });
}
