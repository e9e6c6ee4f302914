#pragma once
// The annotation arrow: a shaft with a two-barbed open head at the tip.
#include "form/Basics.h"

#include <cmath>
#include <optional>

struct ArrowHead {
    float ax, ay; // end of the first barb
    float bx, by; // end of the second barb
};

// The barbs are the backward shaft direction turned by +-atan(1/2), each HeadSize * sqrt(1.25)
// long, so the head reaches HeadSize back along the shaft. Nothing for a tail on the tip.
// The shaft's direction is taken in single precision, its length and the barbs in double,
// the barb ends rounded to single.
inline std::optional<ArrowHead> arrowHead(float X1, float Y1, float X2, float Y2, float HeadSize) {
    const float dx = X2 - X1;
    const float dy = Y2 - Y1;
    const double L = std::sqrt(double(dy) * double(dy) + double(dx) * double(dx));
    if (L <= 1e-10)
        return std::nullopt;
    // From the tip back to the tail.
    const float ux = X1 - X2;
    const float uy = Y1 - Y2;
    const double h = HeadSize;
    return ArrowHead{float(X2 + h * (ux + uy / 2.0) / L), float(Y2 + h * (uy - ux / 2.0) / L),
                     float(X2 + h * (ux - uy / 2.0) / L), float(Y2 + h * (uy + ux / 2.0) / L)};
}

// Draw the arrow on target (anything with Line(x1, y1, x2, y2, colour)): the two barbs
// first, the shaft last.
template <class Target>
void drawArrow(Target& target, float X1, float Y1, float X2, float Y2, float HeadSize,
               kivo::Colour Colour) {
    const std::optional<ArrowHead> head = arrowHead(X1, Y1, X2, Y2, HeadSize);
    if (!head)
        return;
    target.Line(head->ax, head->ay, X2, Y2, Colour);
    target.Line(head->bx, head->by, X2, Y2, Colour);
    target.Line(X1, Y1, X2, Y2, Colour);
}
