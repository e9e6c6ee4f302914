#pragma once
// The controls drawn around the picture (toolbar, style panel, handles, read-outs, text box)
// are `scale` times their designed size where the desktop asks for it (2 on a 200 % screen),
// so that they keep the size they have at 96 dpi; the picture itself is never scaled. At
// scale 1 every length is the designed one, to the bit.
#include "form/Basics.h"

#include <QColor>
#include <QRect>
#include <algorithm>

class QPainter;

namespace kivo {

// The width of an outline or a separator: whole pixels, at least one.
inline int lineWidth(float scale) {
    return std::max(1, roundInt(scale));
}

// The point size that shows a designed size of `points` at the scale, on a device that
// renders points at `dpi` (which may already carry the desktop's scale, or not).
inline double pointSize(double points, float scale, double dpi) {
    return points * (scale * 96.0 / dpi);
}

// Outline r inside its edges with lines `width` pixels wide: at width 1 the pixels of a
// one-pixel pen's rectangle through r's outer pixels.
void outline(QPainter& p, const QRect& r, const QColor& colour, int width);

} // namespace kivo
