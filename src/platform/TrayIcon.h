#pragma once
#include <QIcon>
#include <QObject>
#include <QString>
#include <cstdint>

class QMenu;

// The program's icon in the desktop's notification area (the system tray). Mouse events on
// the icon arrive through mouse() as window-message numbers.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    enum Mouse : int32_t {
        MouseMove = 0x200,
        LeftButtonDown = 0x201,
        LeftButtonUp = 0x202,
        LeftButtonDblClk = 0x203,
        RightButtonDown = 0x204,
        RightButtonUp = 0x205,
        MiddleButtonUp = 0x208,
    };
    // Put the icon with its tip into the tray. Where no tray exists yet, the icon appears
    // as soon as one does.
    virtual void add(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    // Whether the desktop has a notification area right now.
    virtual bool available() const = 0;
    // The menu for a tray that shows menus itself (a StatusNotifierItem host on Wayland,
    // where a program cannot open a menu at the pointer); elsewhere the right button's
    // release comes through mouse() and the owner opens its menu.
    virtual void setMenu(QMenu* menu) { (void)menu; }

Q_SIGNALS:
    void mouse(int32_t message);
};
