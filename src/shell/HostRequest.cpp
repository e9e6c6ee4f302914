#include "shell/HostRequest.h"

#include "shell/CaptureRequest.h"
#include "shell/CommandChannel.h"

#include <QThread>
#include <cstdio>

namespace {
int print(FILE* to, const QString& text, int status) {
    std::fputs(qPrintable(text), to);
    return status;
}
} // namespace

QString lockError(const InstanceLock& lock) {
    return QStringLiteral("kivo: cannot use the lock %1: %2").arg(lock.path(), lock.error());
}

int forwardToHost(const CommandLine& cl, const HostPaths& paths,
                  std::unique_ptr<InstanceLock>& lock) {
    const QByteArray command =
        cl.mode == CommandLine::Gui ? CaptureRequest::line(cl.screen) : QByteArray("quit");
    const QString& path = paths.socket;
    for (int attempt = 0; attempt < 50; ++attempt) {
        QString reason; // why the host refused, when it says
        switch (CommandChannel::send(path, command, 3000, &reason)) {
        case CommandChannel::Reply::Done:
            return 0;
        case CommandChannel::Reply::Refused:
            if (!reason.isEmpty())
                return print(stderr, QStringLiteral("kivo: %1\n").arg(reason), 1);
            return print(stderr,
                         QStringLiteral("kivo: the running Kivo refused \"%1\"\n")
                             .arg(QString::fromLatin1(command)),
                         1);
        case CommandChannel::Reply::NoServer:
            break;
        }
        if (const QString why = CommandChannel::obstacle(path); !why.isEmpty())
            return print(stderr,
                         QStringLiteral("kivo: cannot reach Kivo at %1: %2\n").arg(path, why), 1);
        // Nobody answers: either no host runs, or one is still starting (it holds the lock).
        if (cl.mode == CommandLine::Gui) {
            auto mine = std::make_unique<InstanceLock>(paths.lock);
            if (!mine->previousInstance()) {
                if (!mine->error().isEmpty())
                    return print(stderr, lockError(*mine) + QLatin1Char('\n'), 1);
                lock = std::move(mine);
                return -1;
            }
        } else if (!InstanceLock::held(paths.lock)) {
            return print(stderr, QStringLiteral("kivo: Kivo is not running\n"), 1);
        }
        QThread::msleep(100);
    }
    return print(stderr, QStringLiteral("kivo: the running Kivo does not answer\n"), 1);
}
