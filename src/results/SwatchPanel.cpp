#include "results/SwatchPanel.h"

#include "qtkit/LightFrame.h"

#include <QResizeEvent>

#include <QPainter>

SwatchPanel::SwatchPanel(QWidget *parent) : QWidget(parent)
{
    // Captions are placed by the pixel for small labels; a large system
    // font would run them into the swatches beside them.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
}

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

void SwatchPanel::AddCaption(int left, int top, const QString &text, bool bold, int maxWidth)
{
    captions.push_back({QPoint(left, top), text, bold, maxWidth});
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
    for (const Swatch &swatch : swatches) {
        painter.fillRect(swatch.Rect, swatch.Colour);
        DrawLightFrame(painter, swatch.Rect, swatch.Colour, palette().color(backgroundRole()));
    }
    QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(normal);
    // Captions with a width limit share one size, the largest at which all
    // of them fit, so a column of them reads evenly.
    int fittedSize = normal.pixelSize();
    for (const Caption &caption : captions) {
        if (caption.MaxWidth <= 0)
            continue;
        QFont f = caption.Bold ? bold : normal;
        f.setPixelSize(fittedSize);
        while (fittedSize > 8 && QFontMetrics(f).horizontalAdvance(caption.Text) > caption.MaxWidth)
            f.setPixelSize(--fittedSize);
    }
    for (const Caption &caption : captions) {
        QFont captionFont = caption.Bold ? bold : normal;
        if (caption.MaxWidth > 0 && fittedSize > 0)
            captionFont.setPixelSize(fittedSize);
        painter.setFont(captionFont);
        // Positions name the caption's top-left corner, as a label's would.
        painter.drawText(caption.TopLeft + QPoint(0, metrics.ascent()), caption.Text);
    }
}

void SwatchPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        emit widthChanged();
}
