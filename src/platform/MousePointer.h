#pragma once
#include <QCursor>

// The screen-wide mouse pointer: one override of the cursor shape over every window of
// the program, set by number.
namespace PointerShape {
enum : int {
    Default = 0,
    Arrow = 1,
    Crosshair = 2,
    SizeAll = 5,
    SizeNESW = 6,
    SizeNS = 7,
    SizeNWSE = 8,
    SizeWE = 9,
    Hourglass = 11,
};
// The Qt cursor for a pointer value; Default has none (no override).
Qt::CursorShape toQt(int value);
} // namespace PointerShape

class MousePointer {
public:
    virtual ~MousePointer() = default;
    virtual void set(int value) = 0;
    virtual int value() const = 0;
};

class QtMousePointer final : public MousePointer {
public:
    ~QtMousePointer() override;
    void set(int value) override;
    int value() const override { return value_; }

private:
    int value_ = PointerShape::Default;
};
