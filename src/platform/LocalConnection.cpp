#include "platform/LocalConnection.h"

#include "platform/UnixSocket.h"

#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// What one wake-up reads at most; a client that sends more without a newline is refused
// by the owner long before this matters.
constexpr qsizetype kReadChunk = 4096;
} // namespace

LocalConnection::LocalConnection(int fd, QObject* parent)
    : QObject(parent), fd_(fd), notifier_(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, &LocalConnection::readAvailable);
}

LocalConnection::~LocalConnection() {
    if (fd_ >= 0)
        ::close(fd_);
}

QByteArray LocalConnection::readLine(qint64 maxSize) {
    const qsizetype end = buffer_.indexOf('\n');
    const qsizetype n = qMin(end < 0 ? buffer_.size() : end + 1, qsizetype(maxSize));
    const QByteArray line = buffer_.left(n);
    buffer_.remove(0, n);
    return line;
}

void LocalConnection::write(const QByteArray& data) {
    if (fd_ >= 0)
        sendAll(fd_, data, QDeadlineTimer(0)); // the event loop never waits on a client
}

void LocalConnection::close() {
    if (fd_ < 0)
        return;
    notifier_->setEnabled(false);
    ::close(fd_);
    fd_ = -1;
    Q_EMIT disconnected();
}

void LocalConnection::readAvailable() {
    char chunk[kReadChunk];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n > 0) {
        buffer_.append(chunk, n);
        Q_EMIT readyRead();
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        close();
    }
}
