#include "shell/CommandChannel.h"

#include <QDebug>
#include <QLocalSocket>
#include <QTimer>

namespace {
// Longer lines are no request of ours.
constexpr qint64 kMaxLine = 64;
// A client that says nothing is dropped after this.
constexpr int kIdleMs = 2000;
constexpr int kStarvingNoteMs = 60000;
} // namespace

CommandChannel::Reply CommandChannel::send(const QString& socketPath, const QByteArray& command,
                                           int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return Reply::NoServer;
    socket.write(command + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return Reply::NoServer;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    answer += socket.readAll();
    if (answer.startsWith("ok\n"))
        return Reply::Done;
    return answer.startsWith("refused") ? Reply::Refused : Reply::NoServer;
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
    for (QLocalSocket* socket : listener_.findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly)) {
        if (socket->state() == QLocalSocket::ConnectedState) {
            socket->abort();
            return;
        }
    }
}

void CommandServer::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, [socket] { socket->abort(); });
    idle->start(kIdleMs);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > kMaxLine) {
                qWarning() << "kivo: refused an over-long request";
                socket->write("refused\n");
                socket->flush();
                socket->disconnectFromServer();
            }
            return;
        }
        const QByteArray line = socket->readLine(kMaxLine + 1).trimmed();
        const bool gui = line == "gui";
        const bool quit = line == "quit";
        if (!gui && !quit)
            qWarning() << "kivo: refused request" << line.left(kMaxLine);
        socket->write(gui || quit ? "ok\n" : "refused\n");
        socket->flush();
        socket->disconnectFromServer();
        // Acted on after the answer is out: quitting ends the process at once.
        if (gui)
            Q_EMIT captureRequested();
        else if (quit)
            Q_EMIT quitRequested();
    });
}
