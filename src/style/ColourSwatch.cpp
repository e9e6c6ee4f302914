#include "style/ColourSwatch.h"

#include "style/StylePanel.h"

#include <QPainter>

ColourSwatch::ColourSwatch(QWidget* parent, StylePanel* panel, int index, kivo::Colour back)
    : QWidget(parent), panel_(panel), index_(index), back_(back) {
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
    panel_->Pcolor_MouseMove(index_);
}

void ColourSwatch::mouseReleaseEvent(QMouseEvent*) {
    panel_->Pcolor_MouseUp(index_);
}
