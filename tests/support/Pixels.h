#pragma once
#include <QImage>
#include <QRect>

// The bounding box of the pixels of img that are exactly colour; empty when none.
inline QRect inkBounds(const QImage& img, QRgb colour) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}
