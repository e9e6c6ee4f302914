#include "capture/Control.h"

#include "capture/Vb.h"

#include <QWidget>

QRect Control::pixelRect() const {
    return QRect(vb::cint(left_), vb::cint(top_), vb::cint(width_), vb::cint(height_));
}

void Control::setWidget(QWidget* widget) {
    widget_ = widget;
    if (widget_) {
        widget_->setGeometry(pixelRect());
        widget_->setVisible(visible_);
    }
}

void Control::setGeometry(float left, float top, float width, float height) {
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    const QRect before = pixelRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    sync(before, visible_);
}

void Control::setVisible(bool visible) {
    if (visible == visible_)
        return;
    const bool was = visible_;
    visible_ = visible;
    sync(pixelRect(), was);
}

void Control::sync(const QRect& before, bool wasVisible) {
    const QRect now = pixelRect();
    if (widget_) {
        if (now != widget_->geometry())
            widget_->setGeometry(now);
        if (widget_->isVisibleTo(widget_->parentWidget()) != visible_)
            widget_->setVisible(visible_);
    }
    if (repaint_ && (wasVisible || visible_))
        repaint_(wasVisible ? before : QRect(), visible_ ? now : QRect());
}
