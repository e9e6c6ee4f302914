#include "shell/DisplayCheck.h"

#include "platform/X11Display.h"

#include <QByteArray>
#include <cstdio>

bool displayAvailable() {
    // Other platforms (offscreen, vnc, eglfs) need no display server: Qt's business.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.contains("xcb") && !platform.contains("wayland"))
        return true;
    // A Wayland socket is left to Qt, which falls back to X by itself.
    const bool wayland = !qgetenv("WAYLAND_DISPLAY").isEmpty();
    if (wayland && (platform.isEmpty() || platform.contains("wayland")))
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        std::fputs(wayland ? "kivo: no X display to show on: DISPLAY is not set\n"
                           : "kivo: no display to show on: neither DISPLAY nor WAYLAND_DISPLAY "
                             "is set\n",
                   stderr);
        return false;
    }
    if (x11DisplayOpens(display.constData()))
        return true;
    std::fprintf(stderr, "kivo: cannot open the X display \"%s\"\n", display.constData());
    return false;
}
