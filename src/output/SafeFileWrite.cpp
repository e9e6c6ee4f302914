#include "output/SafeFileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
Failure failure(int error) {
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    if (error == ENOSPC || error == EDQUOT)
        return {ErrorNumber::DiskFull, QStringLiteral("磁盘已满 (%1)").arg(reason)};
    return {ErrorNumber::FileAccess, QStringLiteral("路径/文件访问错误 (%1)").arg(reason)};
}

// A new file beside target, created here and nowhere else (O_EXCL: never an existing
// file or link), with the permissions a new file gets from the umask.
int createBeside(const QByteArray& target, QByteArray& name) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    const QByteArray base = slash < 0 ? target : target.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = dir + '.' + base + '.' +
               QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}
} // namespace

SafeFileWrite::Calls SafeFileWrite::Calls::system() {
    return {::write, ::fsync, ::close};
}

Status SafeFileWrite::write(const QString& path, const QByteArray& bytes, const Calls& calls) {
    // A link is followed to the file it names, which is the one replaced.
    QString resolved = QFileInfo(path).canonicalFilePath();
    if (resolved.isEmpty())
        resolved = path;
    const QByteArray target = QFile::encodeName(resolved);
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return failure(EISDIR);

    QByteArray temp;
    int fd = createBeside(target, temp);
    if (fd < 0)
        return failure(errno);
    int error = 0;
    // A replaced file keeps its permissions.
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0)
        error = errno;
    for (qsizetype done = 0; !error && done < bytes.size();) {
        const ssize_t n = calls.write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EINTR)
            error = errno;
        else if (n == 0)
            error = ENOSPC; // the device takes no more
    }
    if (!error && calls.fsync(fd) != 0)
        error = errno;
    if (calls.close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temp.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return failure(error);
    }
    return {};
}
