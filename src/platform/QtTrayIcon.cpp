#include "platform/QtTrayIcon.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSystemTrayIcon>

namespace {
// Qt's own window for an icon embedded in an X11 tray.
bool isEmbeddedTrayWindow(const QObject* o) {
    return o && o->isWidgetType() &&
           qstrcmp(o->metaObject()->className(), "QSystemTrayIconSys") == 0;
}
} // namespace

QtTrayIcon::QtTrayIcon() {
    trayWatch_.setInterval(1000);
    connect(&trayWatch_, &QTimer::timeout, this, &QtTrayIcon::watchForTray);
}

QtTrayIcon::~QtTrayIcon() {
    remove();
}

void QtTrayIcon::add(const QIcon& icon, const QString& tip) {
    if (!icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        connect(icon_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) {
                    switch (r) {
                    case QSystemTrayIcon::Context:
                        // The embedded window reports its own press and release (see eventFilter).
                        if (!embedded_)
                            report(RightButtonUp);
                        break;
                    case QSystemTrayIcon::Trigger:
                        report(LeftButtonUp);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        report(LeftButtonDblClk);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                        report(MiddleButtonUp);
                        break;
                    case QSystemTrayIcon::Unknown:
                        break;
                    }
                });
        qApp->installEventFilter(this);
    }
    icon_->setIcon(icon);
    icon_->setToolTip(tip);
    icon_->show();
    // Without a tray Qt drops the icon; show it again once a tray appears.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        trayWatch_.start();
}

void QtTrayIcon::remove() {
    trayWatch_.stop();
    if (!icon_)
        return;
    qApp->removeEventFilter(this);
    icon_->hide();
    icon_.reset();
}

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::watchForTray() {
    if (!icon_ || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    trayWatch_.stop();
    icon_->hide();
    icon_->show();
}

bool QtTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if ((t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease) &&
        isEmbeddedTrayWindow(watched)) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            embedded_ = watched;
            report(t == QEvent::MouseButtonPress ? RightButtonDown : RightButtonUp);
        }
    }
    return QObject::eventFilter(watched, event);
}

void QtTrayIcon::report(int32_t message) {
    if (onMouse)
        onMouse(message);
}
