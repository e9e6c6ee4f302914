#include "platform/UnixSocket.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

std::optional<sockaddr_un> unixAddress(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(p.size()) >= sizeof addr.sun_path)
        return std::nullopt;
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    return addr;
}

bool waitFor(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int n = ::poll(&p, 1, int(deadline.remainingTime()));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool sendAll(int fd, const QByteArray& data, const QDeadlineTimer& deadline) {
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n =
            ::send(fd, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN && waitFor(fd, POLLOUT, deadline))
            continue;
        else
            return false;
    }
    return true;
}
