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

QSize QtScreenSource::size() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

QImage QtScreenSource::grab() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect g = screen->geometry();
    if (QImage shm = grabRootWithShm(g); !shm.isNull())
        return shm;
    QImage img = screen->grabWindow(0, g.x(), g.y(), g.width(), g.height()).toImage();
    if (img.format() != QImage::Format_RGB32)
        img = img.convertToFormat(QImage::Format_RGB32);
    return img;
}
