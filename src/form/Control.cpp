#include "form/Control.h"

#include "form/Basics.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace {
int batchDepth = 0;
std::vector<Control*>& pendingControls() {
    static std::vector<Control*> pending;
    return pending;
}
} // namespace

Control::~Control() {
    if (pending_)
        std::erase(pendingControls(), this);
}

bool Control::deferred() {
    if (batchDepth == 0)
        return false;
    if (!pending_) {
        pending_ = true;
        shownRect_ = pixelRect();
        shownVisible_ = visible_;
        pendingControls().push_back(this);
    }
    return true;
}

ControlBatch::ControlBatch() {
    ++batchDepth;
}

ControlBatch::~ControlBatch() {
    if (--batchDepth > 0)
        return;
    // Syncing may run code that opens another batch: take the list first.
    std::vector<Control*> pending;
    pending.swap(pendingControls());
    for (Control* c : pending) {
        c->pending_ = false;
        if (c->shownVisible_ == c->visible_ && (!c->visible_ || c->shownRect_ == c->pixelRect()))
            continue; // nothing the user can see changed
        c->sync(c->shownRect_, c->shownVisible_);
    }
}

QRect Control::pixelRect() const {
    return QRect(kivo::roundInt(left_), kivo::roundInt(top_), kivo::roundInt(width_),
                 kivo::roundInt(height_));
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
    const bool defer = deferred();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (!defer)
        sync(before, visible_);
}

void Control::setVisible(bool visible) {
    if (visible == visible_)
        return;
    const bool was = visible_;
    const bool defer = deferred();
    visible_ = visible;
    if (!defer)
        sync(pixelRect(), was);
}

std::optional<QRect> nearUnion(const QRect& a, const QRect& b) {
    const auto area = [](const QRect& r) { return qint64(r.width()) * r.height(); };
    const QRect both = a | b;
    if (a.isEmpty() || b.isEmpty() || area(both) > 2 * (area(a) + area(b)))
        return std::nullopt;
    return both;
}

void Control::sync(const QRect& before, bool wasVisible) {
    const QRect now = pixelRect();
    if (widget_) {
        // Qt repaints a moved widget's old and new place apart; one piece over both is cheaper.
        if (QWidget* parent = widget_->parentWidget(); parent && wasVisible && visible_) {
            if (const std::optional<QRect> both = nearUnion(before, now))
                parent->update(*both);
        }
        if (now != widget_->geometry())
            widget_->setGeometry(now);
        if (widget_->isVisibleTo(widget_->parentWidget()) != visible_)
            widget_->setVisible(visible_);
    }
    if (repaint_ && (wasVisible || visible_))
        repaint_(wasVisible ? before : QRect(), visible_ ? now : QRect());
}
