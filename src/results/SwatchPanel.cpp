#include "SwatchPanel.h"

#include <QPainter>

SwatchPanel::SwatchPanel(QWidget *parent) : QWidget(parent) {}

void SwatchPanel::ClearDrawing()
{
    if (IsEmpty())
        return;
    swatches.clear();
    captions.clear();
    update();
}

void SwatchPanel::AddSwatch(const QRect &rect, const QColor &colour)
{
    swatches.push_back({rect, colour});
    update();
}

void SwatchPanel::AddCaption(int left, int top, const QString &text, bool bold)
{
    captions.push_back({QPoint(left, top), text, bold});
    update();
}

const SwatchPanel::Caption *SwatchPanel::CaptionAt(int left, int top) const
{
    for (const Caption &caption : captions) {
        if (caption.TopLeft == QPoint(left, top))
            return &caption;
    }
    return nullptr;
}

void SwatchPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const Swatch &swatch : swatches)
        painter.fillRect(swatch.Rect, swatch.Colour);
    QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(normal);
    for (const Caption &caption : captions) {
        painter.setFont(caption.Bold ? bold : normal);
        // Positions name the caption's top-left corner, as a label's would.
        painter.drawText(caption.TopLeft + QPoint(0, metrics.ascent()), caption.Text);
    }
}
