#pragma once
#include "platform/PortalScreenshot.h"
#include "platform/ScreenSource.h"

#include <memory>

// The screen of a Wayland session, where no client may read the screen itself: the desktop
// portal takes the picture. Its picture covers every output; the source crops it to the
// chosen output, and shows the capture there.
class PortalScreenSource final : public QtScreenSource {
public:
    explicit PortalScreenSource(const DesktopScaleHints& hints = {});
    ~PortalScreenSource() override;
    void startGrab() override;
    QImage grab() override;
    QString failure() const override { return failure_; }

private:
    std::unique_ptr<PortalScreenshot::Request> request_;
    QString failure_;
};

// Whether the desktop session is a Wayland one, whatever platform Qt runs on (under
// Xwayland an X11 client reads only black from the screen).
bool waylandSession();

// The part of picture that shows output, where picture shows all of desktop (both in
// desktop coordinates) at its own scale; at the output's size.
QImage cropToOutput(const QImage& picture, const QRect& desktop, const QRect& output);
