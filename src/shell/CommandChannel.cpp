#include "shell/CommandChannel.h"

#include "platform/InstanceLock.h"

#include <QDebug>
#include <QLocalSocket>
#include <QTimer>

namespace {
// Longer lines are no request of ours.
constexpr qint64 kMaxLine = 64;
// A client that says nothing is dropped after this.
constexpr int kIdleMs = 2000;
} // namespace

QString CommandChannel::defaultPath() {
    return InstanceLock::runtimeDir() + QStringLiteral("/kivo.socket");
}

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
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &CommandServer::accept);
}

CommandServer::~CommandServer() = default;

bool CommandServer::listen(const QString& socketPath) {
    QLocalServer::removeServer(socketPath);
    if (server_.listen(socketPath))
        return true;
    qWarning().noquote() << "kivo: cannot listen for commands at" << socketPath << ":"
                         << server_.errorString();
    return false;
}

QString CommandServer::path() const {
    return server_.fullServerName();
}

void CommandServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
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
}
