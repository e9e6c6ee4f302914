#pragma once
#include "platform/SocketListener.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Requests from `kivo gui` / `kivo quit` to the running host, over a local socket in the
// user's private runtime folder. A request is one line: "gui", "gui MONITOR"
// (CaptureRequest.h) or "quit". The host answers "ok", or "refused" with an optional reason
// after a colon; anything else is logged and never acted on.
namespace CommandChannel {
enum class Reply { Done, Refused, NoServer };
// Send one request and wait (briefly) for the answer. Blocking; for the client process.
// reason, when given, receives the host's reason for a refusal (printable text, or empty).
Reply send(const QString& socketPath, const QByteArray& command, int timeoutMs = 3000,
           QString* reason = nullptr);
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

    // The monitors' names at the moment; a capture of any other named monitor is refused
    // with the list. Without it every well-formed name is passed on.
    void setMonitorNames(std::function<QStringList()> names) { monitorNames_ = std::move(names); }

Q_SIGNALS:
    // monitor: ScreenSource::kPrimary, kPointer or a monitor's name.
    void captureRequested(const QString& monitor);
    void quitRequested();

private:
    struct Decision {
        QByteArray answer;
        std::optional<QString> capture;
        bool quit = false;
    };
    void serve(LocalConnection* socket);
    void dropOldestClient();
    // What a request line gets: the answer, and what to do once it is out.
    Decision decide(const QByteArray& line) const;

    SocketListener listener_{this}; // a child: its connections are the server's descendants
    QDeadlineTimer quietUntil_;     // the shortage of descriptors is logged once a minute at most
    std::function<QStringList()> monitorNames_;
};
