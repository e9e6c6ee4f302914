#include "toolbar/ToolbarButton.h"

#include "toolbar/ToolbarIcons.h"

#include <QMouseEvent>
#include <QPainter>

ToolbarButton::ToolbarButton(QWidget* parent, int index, float scale)
    : QWidget(parent), index_(index), icon_(toolbarIcon(index, scale)) {
    setMouseTracking(true);
    resize(icon_.size());
}

void ToolbarButton::paintEvent(QPaintEvent*) {
    // No background: the hover frame painted by the strip shows around and under the icon.
    QPainter p(this);
    p.drawPixmap(0, 0, icon_);
}

void ToolbarButton::mouseMoveEvent(QMouseEvent*) {
    Q_EMIT hovered(index_);
}

void ToolbarButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        pressed_ = true;
}

void ToolbarButton::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double-click is no new click: a double-click runs the command once.
    pressed_ = false;
}

void ToolbarButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    // A click is a press and a release on the same button; releasing elsewhere cancels it.
    if (rect().contains(e->position().toPoint()))
        Q_EMIT clicked(index_);
}
