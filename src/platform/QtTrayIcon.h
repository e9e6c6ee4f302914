#pragma once
#include "platform/TrayIcon.h"

#include <QMenu>
#include <QPointer>
#include <memory>

class QSystemTrayIcon;

// The tray icon on Qt. Qt reports a right click on the press; where the icon is Qt's own
// X11 embedded window, the release is watched on that window instead, so that the menu
// opens on the release like everywhere else on the desktop. Elsewhere than on X11 the icon
// is a StatusNotifierItem, whose host shows the menu itself.
class QtTrayIcon final : public TrayIcon {
    Q_OBJECT
public:
    QtTrayIcon();
    ~QtTrayIcon() override;
    void add(const QIcon& icon, const QString& tip) override;
    void remove() override;
    bool available() const override;
    void setMenu(QMenu* menu) override { menu_ = menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
    // The X11 embedded icon window once a press on it has been seen: its right-button
    // presses and releases are then taken from the window itself.
    QPointer<QObject> embedded_;
    QPointer<QMenu> menu_;
    // Not on X11: the tray (a StatusNotifierItem host) shows menu_ itself.
    bool hostShowsMenu_ = false;
};
