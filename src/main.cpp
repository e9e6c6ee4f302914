// Kivo: starts the first capture at once.
#include "capture/frmCapture.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/Program.h"
#include "platform/QtClipboard.h"
#include "platform/QtSaveDialog.h"
#include "platform/ScreenSource.h"

#include <QApplication>

int main(int argc, char** argv) {
    // One window pixel must be one screen pixel: no high-DPI scaling, whatever the
    // environment asks for.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    QtScreenSource screen;
    QtMousePointer pointer;
    QtMessageBox messageBox;
    InstanceLock instance;
    QtProgram program;
    QtClipboard clipboard;
    QtSaveDialog saveDialog;
    Platform platform;
    platform.screen = &screen;
    platform.pointer = &pointer;
    platform.messageBox = &messageBox;
    platform.instance = &instance;
    platform.program = &program;
    platform.clipboard = &clipboard;
    platform.saveDialog = &saveDialog;

    auto* capture = new frmCapture(platform);
    if (!capture->Load())
        return 0;
    // The program stays after the capture ends: it keeps serving a copied area on the clipboard.
    capture->showCapture();
    return app.exec();
}
