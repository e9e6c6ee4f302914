#include "capture/HandleWidget.h"

#include "capture/MouseArgs.h"
#include "capture/frmCapture.h"

#include <QPainter>

HandleWidget::HandleWidget(frmCapture* owner, int index)
    : QWidget(owner), owner_(owner), index_(index) {
    setMouseTracking(true);
    resize(4, 4);
}

void HandleWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 122, 236));
}

void HandleWidget::mousePressEvent(QMouseEvent* e) {
    owner_->setCursorPosForHandles(owner_->mapFromGlobal(e->globalPosition()).toPoint());
    owner_->Image1_MouseDown(index_, mouseargs::button(e->button()),
                             mouseargs::shift(e->modifiers()), float(e->position().x()),
                             float(e->position().y()));
}

void HandleWidget::mouseMoveEvent(QMouseEvent* e) {
    owner_->setCursorPosForHandles(owner_->mapFromGlobal(e->globalPosition()).toPoint());
    owner_->Image1_MouseMove(index_, mouseargs::buttons(e->buttons()),
                             mouseargs::shift(e->modifiers()), float(e->position().x()),
                             float(e->position().y()));
}

void HandleWidget::mouseReleaseEvent(QMouseEvent* e) {
    owner_->setCursorPosForHandles(owner_->mapFromGlobal(e->globalPosition()).toPoint());
    owner_->Image1_MouseUp(index_, mouseargs::button(e->button()), mouseargs::shift(e->modifiers()),
                           float(e->position().x()), float(e->position().y()));
}

void HandleWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double-click is the double-click alone: it starts no drag, and
    // a handle does nothing with a double-click (it does not reach the window either).
    e->accept();
}
