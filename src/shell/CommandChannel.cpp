#include "shell/CommandChannel.h"

#include "platform/LocalConnection.h"
#include "platform/LocalRequest.h"
#include "platform/ScreenSource.h"
#include "shell/CaptureRequest.h"

#include <QDebug>
#include <QTimer>

namespace {
// Longer lines are no request of ours.
constexpr qint64 kMaxLine = 64;
// A client that says nothing is dropped after this.
constexpr int kIdleMs = 2000;
constexpr int kStarvingNoteMs = 60000;

// The reason after "refused:" on the answer's first line, printable characters only.
QString printableReason(const QByteArray& answer) {
    QString text = QString::fromUtf8(answer.left(answer.indexOf('\n')).mid(7)).left(400);
    text.removeIf([](QChar c) { return !c.isPrint(); });
    return text.startsWith(QLatin1Char(':')) ? text.mid(1).trimmed() : text.trimmed();
}
} // namespace

CommandChannel::Reply CommandChannel::send(const QString& socketPath, const QByteArray& command,
                                           int timeoutMs, QString* reason) {
    const std::optional<QByteArray> answer = localRequest(socketPath, command + '\n', timeoutMs);
    if (!answer)
        return Reply::NoServer;
    if (answer->startsWith("ok\n"))
        return Reply::Done;
    if (!answer->startsWith("refused"))
        return Reply::NoServer;
    if (reason)
        *reason = printableReason(*answer);
    return Reply::Refused;
}

CommandServer::CommandServer(QObject* parent) : QObject(parent) {
    connect(&listener_, &SocketListener::accepted, this, &CommandServer::serve);
    connect(&listener_, &SocketListener::starved, this, &CommandServer::dropOldestClient);
}

CommandServer::~CommandServer() = default;

bool CommandServer::listen(const QString& socketPath) {
    if (listener_.listen(socketPath))
        return true;
    qWarning().noquote() << QStringLiteral("kivo: cannot listen for commands at %1: %2; "
                                           "`kivo gui` and `kivo quit` cannot reach this Kivo")
                                .arg(socketPath, listener_.error());
    return false;
}

// Out of descriptors: the client that has waited longest (an idle one, most likely) makes
// room for those still queued.
void CommandServer::dropOldestClient() {
    if (quietUntil_.hasExpired()) {
        qWarning() << "kivo: out of file descriptors; command clients are being dropped";
        quietUntil_.setRemainingTime(kStarvingNoteMs);
    }
    for (LocalConnection* socket :
         listener_.findChildren<LocalConnection*>(Qt::FindDirectChildrenOnly)) {
        if (socket->isOpen()) {
            socket->close();
            return;
        }
    }
}

void CommandServer::serve(LocalConnection* socket) {
    connect(socket, &LocalConnection::disconnected, socket, &QObject::deleteLater);
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, &LocalConnection::close);
    idle->start(kIdleMs);
    connect(socket, &LocalConnection::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > kMaxLine) {
                qWarning() << "kivo: refused an over-long request";
                socket->write("refused\n");
                socket->close();
            }
            return;
        }
        const Decision d = decide(socket->readLine(kMaxLine + 1).trimmed());
        socket->write(d.answer);
        socket->close();
        // Acted on after the answer is out: quitting ends the process at once.
        if (d.capture)
            Q_EMIT captureRequested(*d.capture);
        else if (d.quit)
            Q_EMIT quitRequested();
    });
}

CommandServer::Decision CommandServer::decide(const QByteArray& line) const {
    if (line == "quit")
        return {"ok\n", std::nullopt, true};
    const std::optional<QString> monitor = CaptureRequest::parse(line);
    if (!monitor) {
        qWarning() << "kivo: refused request" << line.left(kMaxLine);
        return {"refused\n", std::nullopt, false};
    }
    if (monitorNames_ && *monitor != ScreenSource::kPrimary && *monitor != ScreenSource::kPointer) {
        const QStringList names = monitorNames_();
        if (!names.contains(*monitor)) {
            QString why = CaptureRequest::unknownMonitor(*monitor, names);
            why.removeIf([](QChar c) { return !c.isPrint(); });
            qWarning().noquote() << "kivo: refused request:" << why;
            return {"refused: " + why.toUtf8() + '\n', std::nullopt, false};
        }
    }
    return {"ok\n", monitor, false};
}
