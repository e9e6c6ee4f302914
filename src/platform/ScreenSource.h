#pragma once
#include "platform/DesktopScale.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QScreen;
class QWidget;

// Where a capture's frozen picture comes from: one monitor of the desktop, the primary one
// unless another is chosen. The grab and the window's place both follow the chosen monitor's
// geometry, and one window pixel is one screen pixel.
class ScreenSource {
public:
    // The words a choice may be besides a monitor's name.
    static inline const QString kPrimary = QStringLiteral("primary");
    static inline const QString kPointer = QStringLiteral("pointer");

    virtual ~ScreenSource() = default;
    // The chosen monitor's place on the desktop, in screen pixels.
    virtual QRect geometry() const = 0;
    QSize size() const { return geometry().size(); }
    // Begin taking the picture in the background where that takes long (unless begun
    // already), so that the caller readies the window meanwhile; grab() then waits for it.
    virtual void startGrab() {}
    // A copy of the chosen monitor's pixels, Format_RGB32, origin at its top-left corner. A
    // null image when the desktop gave none; failure() then says why.
    virtual QImage grab() = 0;
    // Why the last grab() gave no picture, in words for the user; empty when it gave one.
    virtual QString failure() const { return {}; }
    // Show window over the whole chosen monitor, window pixel (0, 0) on its top-left pixel.
    virtual void showOver(QWidget& window);
    // How much larger than at 96 dpi the desktop draws on the chosen monitor (DesktopScale.h).
    virtual float scale() const { return 1; }
    // The monitors' names, as the window system gives them (`xrandr --listmonitors`).
    virtual QStringList names() const = 0;
    // Cover monitor `which` from the next capture on: kPrimary, kPointer (the one under the
    // pointer now) or one of names(). False, changing nothing, for any other word.
    virtual bool choose(const QString& which) = 0;
};

// The monitors as Qt sees them; the grab reads the X server's root window (through shared
// memory, or Qt's own grab).
class QtScreenSource : public ScreenSource {
public:
    explicit QtScreenSource(const DesktopScaleHints& hints = {}) : hints_(hints) {}
    QRect geometry() const override;
    QImage grab() override;
    void showOver(QWidget& window) override;
    float scale() const override;
    QStringList names() const override;
    bool choose(const QString& which) override;

protected:
    // The chosen monitor; the primary one when nothing else is chosen or it went away.
    QScreen* screen() const;

private:
    DesktopScaleHints hints_;
    QString chosen_; // a monitor's name; empty for the primary
};
