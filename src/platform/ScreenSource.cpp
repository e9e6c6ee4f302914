#include "platform/ScreenSource.h"

#include "platform/X11ShmGrab.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

void ScreenSource::showOver(QWidget& window) {
    window.setGeometry(QRect(QPoint(0, 0), size()));
    window.showFullScreen();
}

QRect primaryOutput() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QtScreenSource::QtScreenSource(OutputChooser output) : output_(std::move(output)) {}

QSize QtScreenSource::size() const {
    return output_().size();
}

QImage QtScreenSource::grab() {
    const QRect g = output_();
    QScreen* screen = QGuiApplication::screenAt(g.center());
    if (!screen)
        return {};
    // Only X11 has a root window to read; grabRootWithShm gives nothing elsewhere.
    if (QImage shm = grabRootWithShm(g); !shm.isNull())
        return shm;
    QImage img = screen->grabWindow(0, g.x(), g.y(), g.width(), g.height()).toImage();
    if (img.format() != QImage::Format_RGB32)
        img = img.convertToFormat(QImage::Format_RGB32);
    return img;
}

void QtScreenSource::showOver(QWidget& window) {
    // A full-screen window fills the output of its screen: on Wayland the only way to
    // choose the output, since a window cannot place itself there.
    const QRect g = output_();
    if (QScreen* screen = QGuiApplication::screenAt(g.center()))
        window.setScreen(screen);
    window.setGeometry(g);
    window.showFullScreen();
}
