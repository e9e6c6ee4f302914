#include "capture/SelectionGeometry.h"

namespace geometry {

Place handlePlace(int index, const Box& sel, float hw, float hh) {
    const float L = sel.left, T = sel.top, W = sel.width, H = sel.height;
    switch (index) {
    case 0:
        return {L - hw / 2, T - hh / 2};
    case 1:
        return {L + W / 2 - hw / 2, T - hh / 2};
    case 2:
        // The top-right handle uses a divisor of 1.5: it sits two thirds of a pixel further left.
        return {float(double(L + W) - double(hw) / 1.5), T - hh / 2};
    case 3:
        return {L - hw / 2, T + H / 2 - hh / 2};
    case 4:
        return {L - hw / 2, T + H - hh / 2};
    case 5:
        return {L + W / 2 - hw / 2, T + H - hh / 2};
    case 6:
        return {L + W - hw / 2, T + H - hh / 2};
    default:
        return {L + W - hw / 2, T + H / 2 - hh / 2};
    }
}

std::optional<Box> resizedByHandle(int index, const Corners& atStart, float cx, float cy, float hw,
                                   float hh) {
    const double L = atStart.x1, T = atStart.y1, R = atStart.x2, B = atStart.y2;
    const double Cx = cx, Cy = cy, hw2 = hw / 2.0, hh2 = hh / 2.0;
    double left = L, top = T, width = R - L, height = B - T;
    switch (index) {
    case 0:
        left = Cx + hw2, top = Cy + hh2, width = R - Cx, height = B - Cy;
        break;
    case 1:
        top = Cy + hh2, height = B - Cy;
        break;
    case 2:
        top = Cy + hh2, width = Cx - L + hw2, height = B - Cy;
        break;
    case 3:
        left = Cx + hw2, width = R - Cx;
        break;
    case 4:
        left = Cx + hw2, width = R - Cx, height = Cy - T;
        break;
    case 5:
        height = Cy - T;
        break;
    case 6:
        width = Cx - L, height = Cy - T;
        break;
    case 7:
        width = Cx - L;
        break;
    }
    if (width < 0 || height < 0)
        return std::nullopt;
    return Box{float(left), float(top), float(width), float(height)};
}

Place toolbarPlace(const Box& sel, float pw, float ph, float screenH, float scale) {
    const float L = sel.left, T = sel.top, W = sel.width, H = sel.height;
    const float gap = 4 * scale;
    Place at{L + W - pw, T + H + gap};
    // Strictly smaller: a strip that ends exactly on the last row still goes under the frame.
    if (screenH < float(T + H + gap + ph))
        at.top = T + H - ph - gap;
    if (at.left < 0)
        at.left = 0;
    return at;
}

float stylePanelTop(float stripTop, float stripHeight, float panelHeight, float screenH,
                    float scale) {
    const float gap = 3 * scale;
    if (screenH < stripTop + stripHeight + gap + panelHeight)
        return stripTop - panelHeight - gap;
    return stripTop + stripHeight + gap;
}

Place readoutPlace(const Box& sel, float scale) {
    return {sel.left + 2 * scale, sel.top + 2 * scale};
}

float infoTop(float readoutTop, float readoutHeight, float scale) {
    return readoutTop + readoutHeight + 2 * scale;
}

float movedEdge(float start, float down, float now, float size, float screen) {
    float edge = start - (down - now);
    if (edge < 0)
        edge = 0;
    if (screen < size + edge)
        edge = screen - size;
    return edge;
}

float heldInside(float v, float extent) {
    if (v > extent - 1)
        return extent - 1;
    if (v < 0)
        return 0;
    return v;
}

float clampToSpan(float v, float lo, float len) {
    if (v > lo + len)
        return lo + len;
    if (v < lo)
        return lo;
    return v;
}

} // namespace geometry
