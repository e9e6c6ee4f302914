#pragma once
#include "about/frmAbout.h"
#include "capture/frmCapture.h"
#include "platform/Platform.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class KeyValueStore;
class QAction;
class QMenu;
class TrayIcon;

// The program's host: never shown, it opens the first capture, owns the tray icon and its
// menu, and starts further captures on request.
class Form1 : public QWidget {
    Q_OBJECT
public:
    static const QString kTip;
    static const QString kFirstLink, kFirstLinkCaption, kSecondLink, kSecondLinkCaption;

    Form1(const Platform& platform, TrayIcon& tray, const KeyValueStore& keys);
    ~Form1() override;

    // Start-up: the first capture, then the icon. False when the program was ended because
    // another instance runs.
    bool Load();
    // Mouse events on the tray icon, as window-message numbers.
    void MouseMove(int32_t Msg);
    void KeyDown(int KeyCode, int Shift);
    void KeyPress(int KeyAscii);
    // Removes the icon; run when the host goes away other than through NMexit.
    void Unload();

    void jietu_Click();
    // A capture of monitor `which` (ScreenSource::choose: kPrimary, kPointer or a name), or
    // the open capture brought up. An unknown name opens nothing.
    void captureOn(const QString& which);
    void vadrin_Click();
    void pelko_Click();
    void NMshow_Click();
    void NMexit_Click();

    // ---- The menu: sys is the icon's pop-up ----
    QMenu* sys = nullptr;
    QAction* jietu = nullptr;
    QMenu* movie = nullptr;
    QAction* vadrin = nullptr;
    QAction* pelko = nullptr;
    QAction* NMshow = nullptr;
    QAction* NMexit = nullptr;

    frmCapture* capture() const { return capture_; }
    frmAbout* about() const { return about_; }
    // Where the one-line notice goes when the desktop has no tray (standard output).
    std::function<void(const QString&)> printLine;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Create and show a capture, or bring up the open one. False when the program ended.
    bool showCapture();

    Platform platform_;
    TrayIcon& tray_;
    const KeyValueStore& keys_;
    QPointer<frmCapture> capture_;
    bool starting_ = false;
    QPointer<frmAbout> about_;
    bool iconAdded_ = false;
};
