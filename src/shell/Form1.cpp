#include "shell/Form1.h"

#include "about/frmAbout.h"
#include "capture/frmCapture.h"
#include "form/AppIcon.h"
#include "form/MouseArgs.h"
#include "platform/InstanceLock.h"
#include "platform/MemoryRelease.h"
#include "platform/Program.h"
#include "platform/ScreenSource.h"
#include "platform/Shell.h"
#include "platform/TrayIcon.h"

#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <cstdio>

const QString Form1::kTip = QStringLiteral("Kivo截图截屏独立软件-Zorvik");
const QString Form1::kFirstLink = QStringLiteral("https://movie.douban.com/");
const QString Form1::kFirstLinkCaption = QStringLiteral("豆瓣电影");
const QString Form1::kSecondLink = QStringLiteral("https://www.imdb.com/");
const QString Form1::kSecondLinkCaption = QStringLiteral("IMDb");

namespace {
constexpr int kKeyD = 68;
constexpr int kShiftCtrl = 2;
constexpr int kEnter = 13;
} // namespace

Form1::Form1(const Platform& platform, TrayIcon& tray, const KeyValueStore& keys)
    : platform_(platform), tray_(tray), keys_(keys) {
    setWindowTitle(QStringLiteral("Kivo"));
    setFocusPolicy(Qt::StrongFocus);

    sys = new QMenu(QStringLiteral("文件"), this);
    jietu = sys->addAction(QStringLiteral("截图"), this, &Form1::jietu_Click);
    movie = sys->addMenu(QStringLiteral("看电影"));
    vadrin = movie->addAction(kFirstLinkCaption, this, &Form1::vadrin_Click);
    pelko = movie->addAction(kSecondLinkCaption, this, &Form1::pelko_Click);
    NMshow = sys->addAction(QStringLiteral("关于"), this, &Form1::NMshow_Click);
    NMexit = sys->addAction(QStringLiteral("退出"), this, &Form1::NMexit_Click);

    printLine = [](const QString& line) {
        std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
        std::fflush(stdout);
    };
}

Form1::~Form1() {
    Unload();
}

bool Form1::Load() {
    // The capture comes first: it refuses a second copy of the program before any icon. A
    // capture the desktop refused ends only itself: the host runs on for the next one.
    if (!showCapture() && platform_.instance->previousInstance())
        return false;
    connect(&tray_, &TrayIcon::mouse, this, &Form1::MouseMove, Qt::UniqueConnection);
    tray_.setMenu(sys);
    tray_.add(appIcon(), kTip);
    iconAdded_ = true;
    if (!tray_.available())
        printLine(QStringLiteral("kivo: no system tray on this desktop; start a capture with "
                                 "\"kivo gui\", quit with \"kivo quit\""));
    return true;
}

bool Form1::showCapture() {
    // A capture that has ended but is not destroyed yet does not count.
    if (capture_ && !capture_->isUnloaded()) {
        capture_->raise();
        capture_->activateWindow();
        return true;
    }
    // A request while a capture starts (its message box runs an event loop) is that one.
    if (starting_)
        return true;
    // The desktop may take long for the picture: let it begin while the window is built.
    platform_.screen->startGrab();
    auto* capture = new frmCapture(platform_);
    starting_ = true;
    const bool loaded = capture->Load();
    starting_ = false;
    if (!loaded) {
        delete capture;
        return false;
    }
    capture_ = capture;
    // A capture's pictures die with it; the host idles in the tray on what the system has
    // back (the clipboard keeps its PNG bytes only). Trimmed once the window's own
    // destruction, backing store included, is over.
    connect(capture, &QObject::destroyed, this,
            [] { QTimer::singleShot(0, [] { memoryrelease::giveBackFreeMemory(); }); });
    capture->showCapture();
    return true;
}

void Form1::MouseMove(int32_t Msg) {
    // Only the right button's release opens the menu; every other event is ignored.
    if (Msg == TrayIcon::RightButtonUp)
        sys->popup(QCursor::pos());
}

void Form1::KeyDown(int KeyCode, int Shift) {
    if (KeyCode == kKeyD && Shift == kShiftCtrl)
        jietu_Click();
}

void Form1::KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter)
        jietu_Click();
}

void Form1::keyPressEvent(QKeyEvent* e) {
    if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        KeyDown(e->key(), mouseargs::shift(e->modifiers()));
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        KeyPress(kEnter);
    e->accept();
}

void Form1::jietu_Click() {
    captureOn(ScreenSource::kPrimary);
}

void Form1::captureOn(const QString& which) {
    // The open capture keeps its monitor.
    if (!capture_ && !platform_.screen->choose(which))
        return;
    showCapture();
}

void Form1::vadrin_Click() {
    platform_.shell->openUrl(QUrl(kFirstLink));
}

void Form1::pelko_Click() {
    platform_.shell->openUrl(QUrl(kSecondLink));
}

void Form1::NMshow_Click() {
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    about_ = new frmAbout(platform_, keys_);
    about_->Load();
    about_->show();
}

void Form1::NMexit_Click() {
    tray_.remove();
    iconAdded_ = false;
    platform_.program->end();
}

void Form1::Unload() {
    if (!iconAdded_)
        return;
    iconAdded_ = false;
    tray_.remove();
}

void Form1::closeEvent(QCloseEvent* e) {
    Unload();
    e->accept();
}
