#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>

#include <cstdlib>

// The light greys of the achromatic table nearly match the page behind them
// and would vanish into it; a tile or swatch that close to the page, or that
// light, gets a thin frame one shade darker than the page.
inline bool NeedsLightFrame(const QColor &fill, const QColor &page)
{
    constexpr int closeToPage = 48;
    constexpr int light = 215;
    return std::abs(fill.lightness() - page.lightness()) < closeToPage || fill.lightness() > light;
}

inline void DrawLightFrame(QPainter &painter, const QRect &rect, const QColor &fill, const QColor &page)
{
    if (!NeedsLightFrame(fill, page) || rect.width() < 3 || rect.height() < 3)
        return;
    painter.save();
    painter.setPen(QPen(page.darker(160), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}
