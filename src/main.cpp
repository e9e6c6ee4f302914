// Kivo: the tray host, or a request to it from the command line.
#include "capture/frmCapture.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"
#include "platform/PortalScreenSource.h"
#include "platform/Program.h"
#include "platform/QtClipboard.h"
#include "platform/QtSaveDialog.h"
#include "platform/QtShell.h"
#include "platform/QtTrayIcon.h"
#include "platform/ScreenSource.h"
#include "platform/SystemKeyValues.h"
#include "shell/AppIcon.h"
#include "shell/CommandChannel.h"
#include "shell/CommandLine.h"
#include "shell/Form1.h"

#include <QApplication>
#include <QLockFile>
#include <QThread>
#include <cstdio>
#include <memory>
#include <signal.h>

namespace {
int print(FILE* to, const QString& text, int status) {
    std::fputs(qPrintable(text), to);
    return status;
}

// Whether a live process holds the instance lock; asked without taking the lock.
bool hostAlive() {
    QLockFile lock(InstanceLock().lockPath());
    qint64 pid = 0;
    QString host, app;
    return lock.getLockInfo(&pid, &host, &app) && pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// Forward a request to the running host. For `gui`, when no host answers and none holds
// the lock, this process takes the lock (into `lock`) and becomes the host, whose start-up
// opens the capture asked for. Returns -1 then, else the exit status.
int forward(const CommandLine& cl, std::unique_ptr<InstanceLock>& lock) {
    const QByteArray command = cl.mode == CommandLine::Gui ? "gui" : "quit";
    const QString path = CommandChannel::defaultPath();
    for (int attempt = 0; attempt < 50; ++attempt) {
        switch (CommandChannel::send(path, command)) {
        case CommandChannel::Reply::Done:
            return 0;
        case CommandChannel::Reply::Refused:
            return print(stderr,
                         QStringLiteral("kivo: the running Kivo refused \"%1\"\n")
                             .arg(QString::fromLatin1(command)),
                         1);
        case CommandChannel::Reply::NoServer:
            break;
        }
        // Nobody answers: either no host runs, or one is still starting (it holds the lock).
        if (cl.mode == CommandLine::Gui) {
            auto mine = std::make_unique<InstanceLock>();
            if (!mine->previousInstance()) {
                lock = std::move(mine);
                return -1;
            }
        } else if (!hostAlive()) {
            return print(stderr, QStringLiteral("kivo: Kivo is not running\n"), 1);
        }
        QThread::msleep(100);
    }
    return print(stderr, QStringLiteral("kivo: the running Kivo does not answer\n"), 1);
}
} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = CommandLine::parse(args);
    std::unique_ptr<InstanceLock> instance;
    switch (cl.mode) {
    case CommandLine::Version:
        return print(stdout, QStringLiteral(KIVO_VERSION "\n"), 0);
    case CommandLine::Help:
        return print(stdout, CommandLine::usage(), 0);
    case CommandLine::Invalid:
        return print(stderr, QStringLiteral("kivo: %1\n\n").arg(cl.error) + CommandLine::usage(),
                     2);
    case CommandLine::Gui:
    case CommandLine::Quit:
        if (const int status = forward(cl, instance); status >= 0)
            return status;
        break;
    case CommandLine::Host:
        break;
    }

    // One window pixel must be one screen pixel: no high-DPI scaling, whatever the
    // environment asks for.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    QApplication app(argc, argv);
    // The host lives in the tray, and keeps serving a copied area on the clipboard.
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(appIcon());

    // In a Wayland session only the desktop portal may read the screen, even for a program
    // that runs on Xwayland; on X11 the program reads it itself, much faster.
    const std::unique_ptr<QtScreenSource> screen = waylandSession()
                                                       ? std::make_unique<PortalScreenSource>()
                                                       : std::make_unique<QtScreenSource>();
    QtMousePointer pointer;
    QtMessageBox messageBox;
    if (!instance)
        instance = std::make_unique<InstanceLock>(); // taken by the first capture's start-up
    QtProgram program;
    QtShell shell;
    Platform platform;
    QtClipboard clipboard;
    QtSaveDialog saveDialog;
    platform.screen = screen.get();
    platform.pointer = &pointer;
    platform.messageBox = &messageBox;
    platform.instance = instance.get();
    platform.program = &program;
    platform.shell = &shell;
    platform.clipboard = &clipboard;
    platform.saveDialog = &saveDialog;

    QtTrayIcon tray;
    SystemKeyValues keys;
    Form1 host(platform, tray, keys);
    if (!host.Load())
        return 0;

    CommandServer commands;
    QObject::connect(&commands, &CommandServer::captureRequested, &host, &Form1::jietu_Click);
    QObject::connect(&commands, &CommandServer::quitRequested, &host, &Form1::NMexit_Click);
    commands.listen(CommandChannel::defaultPath());
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &host, &Form1::Unload);
    return app.exec();
}
