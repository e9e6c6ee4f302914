#pragma once
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

// Where a capture's frozen picture comes from: one output of the desktop.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // The output's size in pixels (one window pixel is one screen pixel).
    virtual QSize size() const = 0;
    // Begin taking the picture in the background where that takes long (unless begun
    // already), so that the caller readies the window meanwhile; grab() then waits for it.
    virtual void startGrab() {}
    // A copy of the output's pixels, Format_RGB32, origin at the output's top-left. A null
    // image when the desktop gave none; failure() then says why.
    virtual QImage grab() = 0;
    // Why the last grab() gave no picture, in words for the user; empty when it gave one.
    virtual QString failure() const { return {}; }
    // Show window over the whole output, window pixel (0, 0) on the output's first pixel.
    virtual void showOver(QWidget& window);
};

// The output a capture freezes and covers, as its rectangle in desktop coordinates; asked
// anew for every capture, since outputs come and go.
using OutputChooser = std::function<QRect()>;
// The primary screen's rectangle; empty when there is no screen.
QRect primaryOutput();

// An output of Qt's screens, grabbed on X11 through shared memory (or Qt's own grab).
class QtScreenSource : public ScreenSource {
public:
    explicit QtScreenSource(OutputChooser output = primaryOutput);
    QSize size() const override;
    QImage grab() override;
    void showOver(QWidget& window) override;

protected:
    OutputChooser output_;
};
