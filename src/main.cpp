// Kivo: the tray host, or a request to it from the command line.
#include "form/AppIcon.h"
#include "platform/InstanceLock.h"
#include "platform/MemoryRelease.h"
#include "platform/QtPlatform.h"
#include "platform/QtTrayIcon.h"
#include "platform/ScreenSource.h"
#include "platform/SystemKeyValues.h"
#include "shell/CaptureRequest.h"
#include "shell/CommandChannel.h"
#include "shell/CommandLine.h"
#include "shell/DisplayCheck.h"
#include "shell/Form1.h"
#include "shell/HostPaths.h"
#include "shell/HostRequest.h"
#include "shell/QtTranslations.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {
int print(FILE* to, const QString& text, int status) {
    std::fputs(qPrintable(text), to);
    return status;
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
    case CommandLine::Host:
        break;
    }
    const HostPaths paths = HostPaths::find();
    if (!paths.error.isEmpty())
        return print(stderr, paths.error + QLatin1Char('\n'), 1);
    if (cl.mode != CommandLine::Host)
        if (const int status = forwardToHost(cl, paths, instance); status >= 0)
            return status;
    if (!instance) {
        // Asked now, not by the first capture's start-up, so that a lock that cannot be used
        // is reported before any window; the answer stands for the start-up.
        instance = std::make_unique<InstanceLock>(paths.lock);
        instance->previousInstance();
        if (!instance->error().isEmpty())
            return print(stderr, lockError(*instance) + QLatin1Char('\n'), 1);
    }

    // One window pixel must be one screen pixel: no high-DPI scaling, whatever the
    // environment asks for. What it asks for still sizes the controls around the picture.
    const DesktopScaleHints scaleHints = DesktopScaleHints::fromEnvironment();
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    if (!displayAvailable())
        return 1;
    // Before any picture: each capture's large buffers go back to the system when it ends.
    memoryrelease::mapLargeBuffers();
    QApplication app(argc, argv);
    loadQtTranslations(app);
    // The host lives in the tray, and keeps serving a copied area on the clipboard.
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(appIcon());

    QtPlatform platform(instance.get(), scaleHints);
    const Platform services = platform.platform();
    // `kivo gui --screen WHICH` that starts the host: its first capture covers that monitor.
    if (!cl.screen.isEmpty() && !services.screen->choose(cl.screen))
        return print(stderr,
                     QStringLiteral("kivo: %1\n")
                         .arg(CaptureRequest::unknownMonitor(cl.screen, services.screen->names())),
                     1);
    QtTrayIcon tray;
    SystemKeyValues keys;
    Form1 host(services, tray, keys);
    if (!host.Load())
        return 0;

    CommandServer commands;
    QObject::connect(&commands, &CommandServer::captureRequested, &host, &Form1::captureOn);
    commands.setMonitorNames([&services] { return services.screen->names(); });
    QObject::connect(&commands, &CommandServer::quitRequested, &host, &Form1::NMexit_Click);
    commands.listen(paths.socket);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &host, &Form1::Unload);
    return app.exec();
}
