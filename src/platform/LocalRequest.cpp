#include "platform/LocalRequest.h"

#include <QFile>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// Wait until fd is ready for events, or the deadline passes.
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
} // namespace

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

std::optional<QByteArray> localRequest(const QString& path, const QByteArray& request,
                                       int timeoutMs) {
    const QByteArray p = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(p.size()) >= sizeof addr.sun_path)
        return std::nullopt;
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    const auto closeSocket = qScopeGuard([fd] { ::close(fd); });

    // A busy server's queue may be full for a moment (EAGAIN): try again until the deadline.
    QDeadlineTimer deadline(timeoutMs);
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno != EAGAIN && errno != EINTR)
            return std::nullopt;
        if (deadline.hasExpired())
            return std::nullopt;
        ::usleep(10 * 1000);
    }

    deadline.setRemainingTime(timeoutMs);
    if (!sendAll(fd, request, deadline))
        return std::nullopt;

    QByteArray answer;
    char chunk[512];
    while (!answer.contains('\n')) {
        deadline.setRemainingTime(timeoutMs);
        if (!waitFor(fd, POLLIN, deadline))
            break;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n > 0)
            answer.append(chunk, n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return answer;
}
