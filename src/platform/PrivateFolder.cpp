#include "platform/PrivateFolder.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// What stands at path instead of a folder; asked only after opening it as one failed.
QString whyNotAFolder(const QByteArray& path, int openError) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return systemError(openError);
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("it is not a folder");
    return systemError(openError);
}
} // namespace

QString PrivateFolder::prepare(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(p.constData(), kFlags);
    bool created = false;
    if (fd < 0 && errno == ENOENT) {
        if (::mkdir(p.constData(), 0700) == 0)
            created = true;
        else if (errno != EEXIST)
            return QStringLiteral("cannot create it: %1").arg(systemError(errno));
        fd = ::open(p.constData(), kFlags);
    }
    if (fd < 0)
        return whyNotAFolder(p, errno);
    struct stat st {};
    QString error;
    if (::fstat(fd, &st) != 0)
        error = systemError(errno);
    else if (st.st_uid != ::geteuid())
        error = QStringLiteral("it belongs to another user (uid %1)").arg(st.st_uid);
    else if (created && ::fchmod(fd, 0700) != 0) // the umask may have taken our own rights
        error = systemError(errno);
    else if (!created && (st.st_mode & 077) != 0)
        error = QStringLiteral("other users can reach it (mode %1; it must be 700)")
                    .arg(st.st_mode & 0777, 3, 8, QLatin1Char('0'));
    ::close(fd);
    return error;
}

PrivateFolder::Runtime PrivateFolder::runtime(const QString& name, const QString& fallbackBase) {
    QString dir = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    // A relative value is no runtime folder at all: ignored, as for an unset one.
    if (!dir.startsWith(QLatin1Char('/')))
        dir = fallbackBase + QLatin1Char('/') + name + QLatin1Char('-') +
              QString::number(::geteuid());
    return {dir, prepare(dir)};
}
