#include "platform/SocketListener.h"

#include "platform/LocalConnection.h"
#include "platform/UnixSocket.h"

#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Long enough for the descriptors of idle clients to be freed; short enough for a waiting
// client not to notice.
constexpr int kPauseMs = 100;

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

SocketListener::SocketListener(QObject* parent) : QObject(parent) {
    resume_.setSingleShot(true);
    resume_.setInterval(kPauseMs);
    connect(&resume_, &QTimer::timeout, this, [this] {
        if (notifier_)
            notifier_->setEnabled(true);
        acceptAll();
    });
}

SocketListener::~SocketListener() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    struct stat st {};
    const QByteArray p = QFile::encodeName(path_);
    if (::lstat(p.constData(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_)
        ::unlink(p.constData());
}

QString SocketListener::obstacle(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {};
    return QStringLiteral("it is a folder");
}

bool SocketListener::listen(const QString& path) {
    path_ = path;
    const QByteArray p = QFile::encodeName(path);
    const std::optional<sockaddr_un> addr = unixAddress(path);
    if (!addr) {
        error_ = QStringLiteral("the path is too long for a socket");
        return false;
    }
    error_ = obstacle(path);
    if (!error_.isEmpty())
        return false;
    if (::unlink(p.constData()) != 0 && errno != ENOENT) {
        error_ = systemError(errno);
        return false;
    }
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // On Linux the socket file takes the mode of the unbound socket: none for others.
    if (fd_ < 0 || ::fchmod(fd_, 0600) != 0 ||
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0 ||
        ::listen(fd_, SOMAXCONN) != 0) {
        error_ = systemError(errno);
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return false;
    }
    struct stat st {};
    if (::lstat(p.constData(), &st) == 0) {
        dev_ = st.st_dev;
        ino_ = st.st_ino;
    }
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SocketListener::acceptAll);
    return true;
}

void SocketListener::acceptAll() {
    while (fd_ >= 0) {
        const int client = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client >= 0) {
            Q_EMIT accepted(new LocalConnection(client, this));
            continue;
        }
        switch (errno) {
        case EAGAIN:
            return;
        case EINTR:
        case ECONNABORTED:
        case EPROTO:
            continue;
        default:
            // Out of descriptors or memory (EMFILE, ENFILE, ENOBUFS, ENOMEM): the pending
            // connections stay queued; stop asking until some are freed, then go on.
            notifier_->setEnabled(false);
            resume_.start();
            Q_EMIT starved();
            return;
        }
    }
}
