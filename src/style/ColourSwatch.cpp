#include "style/ColourSwatch.h"

#include "form/ChromeScale.h"

#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent, int index, kivo::Colour back, int line)
    : QWidget(parent), index_(index), back_(back), line_(line) {
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
        kivo::outline(p, rect(), QColor(64, 64, 64), line_);
        kivo::outline(p, rect().adjusted(line_, line_, -line_, -line_), Qt::white, line_);
    }
}

void ColourSwatch::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT mouseMove(index_);
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent*) {
    Q_EMIT mouseUp(index_);
}
