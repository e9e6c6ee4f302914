#include "form/ChromeScale.h"

#include <QPainter>

void kivo::outline(QPainter& p, const QRect& r, const QColor& colour, int width) {
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int w = std::min({width, r.width(), r.height()});
    p.fillRect(QRect(r.left(), r.top(), r.width(), w), colour);
    p.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), colour);
    p.fillRect(QRect(r.left(), r.top(), w, r.height()), colour);
    p.fillRect(QRect(r.right() - w + 1, r.top(), w, r.height()), colour);
}
