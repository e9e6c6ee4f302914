#include "platform/ScreenSource.h"

#include "platform/X11ShmGrab.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

void ScreenSource::showOver(QWidget& window) {
    window.setGeometry(geometry());
    window.showFullScreen();
}

QScreen* QtScreenSource::screen() const {
    if (!chosen_.isEmpty()) {
        for (QScreen* s : QGuiApplication::screens()) {
            if (s->name() == chosen_)
                return s;
        }
    }
    return QGuiApplication::primaryScreen();
}

QRect QtScreenSource::geometry() const {
    const QScreen* s = screen();
    return s ? s->geometry() : QRect();
}

QImage QtScreenSource::grab() {
    QScreen* s = screen();
    if (!s)
        return {};
    const QRect g = s->geometry();
    if (QImage shm = grabRootWithShm(g); !shm.isNull())
        return shm;
    // Qt's grab of the root takes coordinates relative to the monitor it is asked on.
    QImage img = s->grabWindow(0, 0, 0, g.width(), g.height()).toImage();
    if (img.format() != QImage::Format_RGB32)
        img = img.convertToFormat(QImage::Format_RGB32);
    return img;
}

void QtScreenSource::showOver(QWidget& window) {
    // A full-screen window fills the monitor it belongs to: make that the chosen one.
    if (QScreen* s = screen())
        window.setScreen(s);
    ScreenSource::showOver(window);
}

float QtScreenSource::scale() const {
    const QScreen* s = screen();
    if (!s)
        return 1;
    return desktopScale(hints_, s->name(), int(QGuiApplication::screens().indexOf(s)),
                        s->logicalDotsPerInchY());
}

QStringList QtScreenSource::names() const {
    QStringList list;
    for (const QScreen* s : QGuiApplication::screens())
        list << s->name();
    return list;
}

bool QtScreenSource::choose(const QString& which) {
    if (which == kPrimary) {
        chosen_.clear();
        return true;
    }
    if (which == kPointer) {
        const QScreen* s = QGuiApplication::screenAt(QCursor::pos());
        chosen_ = s && s != QGuiApplication::primaryScreen() ? s->name() : QString();
        return true;
    }
    if (!names().contains(which))
        return false;
    chosen_ = which;
    return true;
}
