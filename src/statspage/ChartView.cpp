#include "ChartView.h"

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
