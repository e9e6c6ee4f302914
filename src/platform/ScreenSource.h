#pragma once
#include <QImage>
#include <QSize>

class QWidget;

// Where a capture's frozen picture comes from: the primary screen.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // The primary screen's size in pixels (one window pixel is one screen pixel).
    virtual QSize size() const = 0;
    // A copy of the primary screen's pixels, Format_RGB32, origin at the screen origin.
    virtual QImage grab() = 0;
    // Show window over the whole primary screen, window pixel (0, 0) on screen pixel (0, 0).
    virtual void showOver(QWidget& window);
};

class QtScreenSource final : public ScreenSource {
public:
    QSize size() const override;
    QImage grab() override;
};
