#pragma once

#include <QImage>

// Whether any pixel of the picture has exactly that colour.
inline bool HasPixel(const QImage &picture, QRgb colour)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == colour)
                return true;
    return false;
}
