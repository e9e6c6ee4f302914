#pragma once
#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// One accepted connection on a Unix-domain socket, read from the event loop: a few short
// lines in, a short answer out. Written on the bare socket rather than Qt's local socket,
// which would bring Qt Network and its libraries (Kerberos, proxy lookup, about 1 MB
// resident) into the tray host for these few bytes.
class LocalConnection : public QObject {
    Q_OBJECT
public:
    // Takes the non-blocking descriptor over.
    LocalConnection(int fd, QObject* parent);
    ~LocalConnection() override;

    bool isOpen() const { return fd_ >= 0; }
    qint64 bytesAvailable() const { return buffer_.size(); }
    bool canReadLine() const { return buffer_.contains('\n'); }
    // Up to and with the next newline, at most maxSize bytes.
    QByteArray readLine(qint64 maxSize);
    // As much of data as the socket takes now; the answers are a few bytes on a socket
    // with room for far more, so nothing waits to be sent later.
    void write(const QByteArray& data);
    // Closes it (what was written is on its way); disconnected() follows once.
    void close();

Q_SIGNALS:
    void readyRead();
    // The peer closed, the connection failed, or close() was called.
    void disconnected();

private:
    void readAvailable();

    int fd_;
    QByteArray buffer_;
    QSocketNotifier* notifier_;
};
