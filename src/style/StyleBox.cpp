#include "style/StyleBox.h"

#include <QPainter>

StyleBox::StyleBox(QWidget* parent, const QColor& back) : QWidget(parent), back_(back) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void StyleBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void StyleBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), back_);
    if (!picture_.isNull())
        p.drawPixmap(0, 0, picture_);
}

void StyleBox::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT mouseMove();
}

void StyleBox::mousePressEvent(QMouseEvent*) {
    Q_EMIT mouseDown();
}
