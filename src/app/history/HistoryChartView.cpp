#include "app/history/HistoryChartView.h"

#include <QPainter>

HistoryChartView::HistoryChartView(const PersonHistory &history, const SwatchColours &swatches, QStringList labels,
                                   QWidget *parent)
    : QWidget(parent), history(history), swatches(swatches), labels(std::move(labels))
{
    setObjectName(QStringLiteral("HistoryChartView"));
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::white);
    setPalette(look);
}

void HistoryChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
    const double titleHeight = std::max(18.0, fontMetrics().height() * 1.4);
    const double trackHeight = (area.height() - 2 * titleHeight) * 0.68;
    double y = area.top();
    const auto title = [&](const QString &text) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(QRectF(area.left(), y, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += titleHeight;
    };
    title(QStringLiteral("Позиции цветов по сеансам (1 — самый приятный)"));
    PaintColourTrack(painter, QRectF(area.left(), y, area.width(), trackHeight), history, swatches, labels);
    y += trackHeight;
    title(QStringLiteral("Интенсивность тревоги и компенсации (0–12)"));
    PaintIntensityTrack(painter, QRectF(area.left(), y, area.width(), area.bottom() - y), history, labels);
}
