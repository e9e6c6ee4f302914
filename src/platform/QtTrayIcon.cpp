#include "platform/QtTrayIcon.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QSystemTrayIcon>

namespace {
// Qt's own window for an icon embedded in an X11 tray.
bool isEmbeddedTrayWindow(const QObject* o) {
    return o && o->isWidgetType() &&
           qstrcmp(o->metaObject()->className(), "QSystemTrayIconSys") == 0;
}
} // namespace

QtTrayIcon::QtTrayIcon() = default;

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
                        // The embedded window reports its own press and release (see
                        // eventFilter); a StatusNotifierItem host shows the menu itself.
                        if (!embedded_ && !hostShowsMenu_)
                            Q_EMIT mouse(RightButtonUp);
                        break;
                    case QSystemTrayIcon::Trigger:
                        Q_EMIT mouse(LeftButtonUp);
                        break;
                    case QSystemTrayIcon::DoubleClick:
                        Q_EMIT mouse(LeftButtonDblClk);
                        break;
                    case QSystemTrayIcon::MiddleClick:
                        Q_EMIT mouse(MiddleButtonUp);
                        break;
                    case QSystemTrayIcon::Unknown:
                        break;
                    }
                });
        // Only X11 has the embedded icon window whose right button the filter watches.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            qApp->installEventFilter(this);
        } else if (menu_) {
            hostShowsMenu_ = true;
            icon_->setContextMenu(menu_);
        }
    }
    icon_->setIcon(icon);
    icon_->setToolTip(tip);
    // Where no tray exists yet, Qt waits for one and embeds the icon when it appears.
    icon_->show();
}

void QtTrayIcon::remove() {
    if (!icon_)
        return;
    qApp->removeEventFilter(this);
    icon_->hide();
    icon_.reset();
}

bool QtTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if ((t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease) &&
        isEmbeddedTrayWindow(watched)) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            embedded_ = watched;
            Q_EMIT mouse(t == QEvent::MouseButtonPress ? RightButtonDown : RightButtonUp);
        }
    }
    return QObject::eventFilter(watched, event);
}
