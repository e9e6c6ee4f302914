#pragma once
#include <QColor>
#include <QRgb>
#include <cmath>
#include <cstdint>

// The arithmetic shared by the whole capture: 32-bit float pixels, integers made by
// rounding to the nearest value with halves to the even neighbour, colours as 0x00BBGGRR.
namespace kivo {

inline int32_t roundInt(float v) {
    return static_cast<int32_t>(std::nearbyintf(v));
}
inline int32_t roundInt(double v) {
    return static_cast<int32_t>(std::nearbyint(v));
}

// A colour value with red in the low byte.
using Colour = int32_t;
inline Colour rgb(int r, int g, int b) {
    return (b << 16) | (g << 8) | r;
}
inline Colour fromQRgb(QRgb c) {
    return rgb(qRed(c), qGreen(c), qBlue(c));
}
inline QColor toQColor(Colour c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
// Red, green and blue of a colour value. Division truncates toward zero and the remainder
// takes the dividend's sign, so -1 (no pixel there) splits into -1, 0, 0.
inline void SplitRgb(int32_t Colour, int32_t& R, int32_t& G, int32_t& B) {
    R = Colour % 256;
    G = (Colour / 256) % 256;
    B = (Colour / 65536) % 256;
}

struct RECT {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    // Left and Top inclusive, Right and Bottom exclusive.
    bool contains(int32_t x, int32_t y) const {
        return x >= Left && x < Right && y >= Top && y < Bottom;
    }
};

struct POINT {
    int32_t x = 0, y = 0;
};

// Mouse buttons as the handlers take them: 1 left, 2 right, 4 middle (a sum when several
// are held).
enum Button : int { Left = 1, Right = 2, Middle = 4 };

} // namespace kivo
