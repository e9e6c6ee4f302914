// The save command on the real platform, without the rest of the program: freezes the
// screen, grabs the area given on the command line to the clipboard, runs the save command
// with the real dialog, then tells whether the clipboard still holds a picture.
// Usage: kivo_save_probe LEFT TOP WIDTH HEIGHT
#include "capture/frmCapture.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/QtClipboard.h"
#include "platform/QtSaveDialog.h"
#include "platform/ScreenSource.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    QtScreenSource screen;
    QtMousePointer pointer;
    QtMessageBox messageBox;
    QtClipboard clipboard;
    QtSaveDialog saveDialog;
    Platform platform;
    platform.screen = &screen;
    platform.pointer = &pointer;
    platform.messageBox = &messageBox;
    platform.clipboard = &clipboard;
    platform.saveDialog = &saveDialog;

    auto* capture = new frmCapture(platform);
    if (!capture->Load())
        return 3;
    capture->Shape1.setGeometry(args[1].toFloat(), args[2].toFloat(), args[3].toFloat(),
                                args[4].toFloat());
    const vb::RECT r = capture->selectionRect();
    capture->ScrnCap(r.Left, r.Top, r.Right, r.Bottom);
    capture->CutdSave();
    std::printf("clipboard: %s\n", clipboard.image().isNull() ? "empty" : "kept");
    delete capture;
    return 0;
}
