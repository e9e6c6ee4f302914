#pragma once
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/Platform.h"
#include "platform/Program.h"
#include "platform/QtClipboard.h"
#include "platform/QtSaveDialog.h"
#include "platform/QtShell.h"
#include "platform/ScreenSource.h"

#include <memory>

class InstanceCheck;

// The real platform services, for the program (tests use their fakes instead). Create it
// after the application object.
class QtPlatform {
public:
    // instance: the previous-instance check, owned by the caller; scale: what the desktop
    // asked for, taken before Qt's own scaling was switched off.
    QtPlatform(InstanceCheck* instance, const DesktopScaleHints& scale = {});
    ~QtPlatform();
    Platform platform();

private:
    InstanceCheck* instance_;
    // In a Wayland session only the desktop portal may read the screen, even for a program
    // that runs on Xwayland; on X11 the program reads it itself, much faster.
    std::unique_ptr<QtScreenSource> screen_;
    QtMousePointer pointer_;
    QtMessageBox messageBox_;
    QtProgram program_;
    QtClipboard clipboard_;
    QtSaveDialog saveDialog_;
    QtShell shell_;
};
