#include "platform/LocalRequest.h"

#include "platform/UnixSocket.h"

#include <QScopeGuard>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

std::optional<QByteArray> localRequest(const QString& path, const QByteArray& request,
                                       int timeoutMs) {
    const std::optional<sockaddr_un> addr = unixAddress(path);
    if (!addr)
        return std::nullopt;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    const auto closeSocket = qScopeGuard([fd] { ::close(fd); });

    // A busy server's queue may be full for a moment (EAGAIN): try again until the deadline.
    QDeadlineTimer deadline(timeoutMs);
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0) {
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
