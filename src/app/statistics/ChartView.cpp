#include "app/statistics/ChartView.h"

#include <QPainter>

ChartView::ChartView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(240, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ChartView::SetPaint(Paint value)
{
    paint = std::move(value);
    update();
}

void ChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!paint)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    paint(painter, QRectF(rect()).adjusted(8, 8, -8, -8));
}

// A chart's title over it; the rest of the area is the chart's.
QRectF PaintChartTitle(QPainter &painter, const QRectF &area, const QString &title)
{
    const double height = painter.fontMetrics().height() * 1.5;
    painter.setPen(Qt::black);
    painter.drawText(QRectF(area.left(), area.top(), area.width(), height), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(title, Qt::ElideRight, static_cast<int>(area.width())));
    return area.adjusted(0, height, 0, 0);
}

// Which marker is which group, in one line over the chart.
QRectF PaintChartLegend(QPainter &painter, const QRectF &area, const std::vector<ChartGroup> &groups)
{
    const double height = painter.fontMetrics().height() * 1.4;
    double x = area.left();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const double radius = height * 0.22;
        painter.setPen(Qt::NoPen);
        painter.setBrush(GroupMarkerColour(g));
        painter.drawEllipse(QPointF(x + radius, area.top() + height / 2), radius, radius);
        x += radius * 2 + 6;
        painter.setPen(Qt::black);
        const double width = painter.fontMetrics().horizontalAdvance(groups[g].Label) + 18;
        painter.drawText(QRectF(x, area.top(), width, height), Qt::AlignLeft | Qt::AlignVCenter, groups[g].Label);
        x += width;
    }
    return area.adjusted(0, height, 0, 0);
}
