#include "style/ColourSwatch.h"

#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent, int index, kivo::Colour back)
    : QWidget(parent), index_(index), back_(back) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void ColourSwatch::setBackColor(kivo::Colour c) {
    if (c == back_)
        return;
    back_ = c;
    update();
}

void ColourSwatch::setBorderStyle(int style) {
    if (style == border_)
        return;
    border_ = style;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kivo::toQColor(back_));
    if (border_ != 0) {
        // A dark line with a light one inside, so the outline shows on every colour.
        p.setPen(QColor(64, 64, 64));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        p.setPen(Qt::white);
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void ColourSwatch::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT mouseMove(index_);
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent*) {
    Q_EMIT mouseUp(index_);
}
