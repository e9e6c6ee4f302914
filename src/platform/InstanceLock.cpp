#include "platform/InstanceLock.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Open the lock file at path, never through a link. With create, something other than a file
// or a folder there is removed by name (unlink does not follow links) and the file made anew.
int openLockFile(const QByteArray& path, bool create, QString* error) {
    const int flags =
        O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (create ? O_CREAT : 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.constData(), flags, 0600);
        if (fd >= 0) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
                return fd;
            ::close(fd); // a pipe, say
            if (!create)
                return -1;
        } else if (!create) {
            return -1;
        } else if (errno != ELOOP && errno != ENXIO) { // ENXIO: a socket
            *error = errno == EISDIR ? QStringLiteral("it is a folder")
                                     : QString::fromLocal8Bit(std::strerror(errno));
            return -1;
        }
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && (S_ISDIR(st.st_mode) || S_ISREG(st.st_mode)))
            continue; // changed under us: look again
        if (::unlink(path.constData()) != 0 && errno != ENOENT) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return -1;
        }
    }
    *error = QStringLiteral("it is not a regular file");
    return -1;
}
} // namespace

InstanceLock::InstanceLock(QString path) : path_(std::move(path)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceLock::previousInstance() {
    if (answer_ >= 0)
        return answer_ == 1;
    fd_ = openLockFile(QFile::encodeName(path_), true, &error_);
    if (fd_ < 0) {
        answer_ = 0;
        return false;
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        answer_ = 0;
        return false;
    }
    if (errno != EWOULDBLOCK)
        error_ = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd_);
    fd_ = -1;
    answer_ = error_.isEmpty() ? 1 : 0;
    return answer_ == 1;
}

bool InstanceLock::held(const QString& path) {
    QString unused;
    const int fd = openLockFile(QFile::encodeName(path), false, &unused);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return !free;
}
