#include "capture/HandleWidget.h"

#include "form/MouseArgs.h"
#include "form/Vocabulary.h"

#include <QPainter>

HandleWidget::HandleWidget(QWidget* window, int index) : QWidget(window), index_(index) {
    setMouseTracking(true);
    resize(4, 4);
}

void HandleWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kivo::toQColor(kivo::kFrameColour));
}

namespace {
QPoint atWindow(const QWidget* w, const QMouseEvent* e) {
    return w->mapToParent(e->position().toPoint());
}
} // namespace

void HandleWidget::mousePressEvent(QMouseEvent* e) {
    Q_EMIT mouseDown(index_, mouseargs::button(e->button()), mouseargs::shift(e->modifiers()),
                     float(e->position().x()), float(e->position().y()), atWindow(this, e));
}

void HandleWidget::mouseMoveEvent(QMouseEvent* e) {
    Q_EMIT mouseMove(index_, mouseargs::buttons(e->buttons()), mouseargs::shift(e->modifiers()),
                     float(e->position().x()), float(e->position().y()), atWindow(this, e));
}

void HandleWidget::mouseReleaseEvent(QMouseEvent* e) {
    Q_EMIT mouseUp(index_, mouseargs::button(e->button()), mouseargs::shift(e->modifiers()),
                   float(e->position().x()), float(e->position().y()), atWindow(this, e));
}

void HandleWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second press of a double-click is the double-click alone: it starts no drag, and
    // a handle does nothing with a double-click (it does not reach the window either).
    e->accept();
}
