#pragma once
// The arrow of the capture window: a shaft with a two-barbed open head at the tip. Included
// at the end of frmCapture.h, where the method is declared.
#include <cmath>

// The barbs are the backward shaft direction turned by +-atan(1/2), each HeadSize * sqrt(1.25)
// long, so the head reaches HeadSize back along the shaft. The head is drawn first, the
// shaft last; a tail on the tip draws nothing.
template <class Target>
void frmCapture::Arrow(Target& target, float X1, float Y1, float X2, float Y2, float HeadSize,
                       kivo::Colour Colour) {
    const float dx = X2 - X1;
    const float dy = Y2 - Y1;
    const double L = std::sqrt(double(dy) * double(dy) + double(dx) * double(dx));
    if (L <= 1e-10)
        return;
    // From the tip back to the tail, in single precision; the head points in double, then
    // rounded to single.
    const float ux = X1 - X2;
    const float uy = Y1 - Y2;
    const double h = HeadSize;
    const float ax = float(X2 + h * (ux + uy / 2.0) / L);
    const float ay = float(Y2 + h * (uy - ux / 2.0) / L);
    const float bx = float(X2 + h * (ux - uy / 2.0) / L);
    const float by = float(Y2 + h * (uy + ux / 2.0) / L);
    target.Line(ax, ay, X2, Y2, Colour);
    target.Line(bx, by, X2, Y2, Colour);
    target.Line(X1, Y1, X2, Y2, Colour);
}
