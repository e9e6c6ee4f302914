#pragma once
#include "platform/SocketListener.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

// Requests from `kivo gui` / `kivo quit` to the running host, over a local socket in the
// user's private runtime folder. A request is one line: "gui" or "quit". The host answers
// "ok" or "refused"; anything else is logged and never acted on.
namespace CommandChannel {
enum class Reply { Done, Refused, NoServer };
// Send one request and wait (briefly) for the answer. Blocking; for the client process.
Reply send(const QString& socketPath, const QByteArray& command, int timeoutMs = 3000);
// What stands at socketPath so that no host can listen there ("it is a folder"), or nothing.
inline QString obstacle(const QString& socketPath) {
    return SocketListener::obstacle(socketPath);
}
} // namespace CommandChannel

class CommandServer : public QObject {
    Q_OBJECT
public:
    explicit CommandServer(QObject* parent = nullptr);
    ~CommandServer() override;
    // Listen at socketPath, replacing a socket left behind by a dead host; says on stderr
    // what blocks it when it cannot. Call only while holding the instance lock: the lock,
    // not the socket, decides who is the host.
    bool listen(const QString& socketPath);

Q_SIGNALS:
    void captureRequested();
    void quitRequested();

private:
    void serve(QLocalSocket* socket);
    void dropOldestClient();

    SocketListener listener_;
    QDeadlineTimer quietUntil_; // the shortage of descriptors is logged once a minute at most
};
