#pragma once
#include <QRect>
#include <functional>
#include <optional>

class QWidget;

// One control of a window as the program sees it: Left, Top, Width and Height as 32-bit
// float pixels, and whether it is visible. A control with a widget gives it the rounded
// geometry; a painted control (a frame, a line) tells its owner which pixels to repaint.
class Control {
public:
    Control() = default;
    explicit Control(QWidget* widget) : widget_(widget) {}
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    bool Visible() const { return visible_; }

    void setLeft(float v) { setGeometry(v, top_, width_, height_); }
    void setTop(float v) { setGeometry(left_, v, width_, height_); }
    void setWidth(float v) { setGeometry(left_, top_, v, height_); }
    void setHeight(float v) { setGeometry(left_, top_, width_, v); }
    void move(float left, float top) { setGeometry(left, top, width_, height_); }
    void setGeometry(float left, float top, float width, float height);
    void setVisible(bool visible);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }

    // The pixel rectangle that the rounded geometry covers.
    QRect pixelRect() const;
    QWidget* widget() const { return widget_; }
    void setWidget(QWidget* widget);
    // For painted controls: called with the old and the new pixel rectangle of a visible
    // control whenever its geometry or visibility changes.
    void setRepaint(std::function<void(const QRect& before, const QRect& after)> repaint) {
        repaint_ = std::move(repaint);
    }

private:
    friend class ControlBatch;
    void sync(const QRect& before, bool wasVisible);
    // Inside a batch: remember what the widget and the screen show, once.
    bool deferred();

    QWidget* widget_ = nullptr;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = false;
    std::function<void(const QRect&, const QRect&)> repaint_;
    // What was shown when the open batch first changed this control.
    bool pending_ = false;
    QRect shownRect_;
    bool shownVisible_ = false;
};

// The one rectangle over a and b, when it is at most twice as large as the two apart: what
// to repaint for something that moved from a to b, in one piece. Every piece of a window's
// repaint costs a request to the X server of its own, and overlapping rectangles are cut
// into several pieces.
std::optional<QRect> nearUnion(const QRect& a, const QRect& b);

// While a batch is open, controls change only their model (Left, Top, Width, Height,
// Visible); their widgets and painted pixels catch up once, when the outermost batch
// closes. A control hidden, moved and shown again within one mouse move is then moved
// once, instead of being unmapped and mapped again. Open one only around code that lets
// no events run (nothing may look at the widgets before it closes).
class ControlBatch {
public:
    ControlBatch();
    ~ControlBatch();
    ControlBatch(const ControlBatch&) = delete;
    ControlBatch& operator=(const ControlBatch&) = delete;
};
