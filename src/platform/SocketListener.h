#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <sys/types.h>

class LocalConnection;
class QSocketNotifier;

// A Unix-domain socket listening at a path (mode 0600) that goes on listening when
// accepting fails for want of file descriptors: it pauses briefly and asks its owner to
// free some (QLocalServer closes itself and deletes its socket file then, for good).
class SocketListener : public QObject {
    Q_OBJECT
public:
    explicit SocketListener(QObject* parent = nullptr);
    ~SocketListener() override;

    // Listen at path, replacing a socket, file or link left there (never what a link points
    // to); a folder there is never removed. False, with error() saying why, when it cannot.
    bool listen(const QString& path);
    const QString& error() const { return error_; }
    const QString& path() const { return path_; }
    // What stands at path that no socket can replace ("it is a folder"), or nothing.
    static QString obstacle(const QString& path);

Q_SIGNALS:
    // A new connection, a child of this listener.
    void accepted(LocalConnection* connection);
    // Accepting failed for want of descriptors; accepting resumes shortly by itself.
    void starved();

private:
    void acceptAll();

    QString path_, error_;
    int fd_ = -1;
    dev_t dev_ = 0; // the socket file made, removed on close only if it is still this one
    ino_t ino_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QTimer resume_;
};
