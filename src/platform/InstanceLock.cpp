#include "platform/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

InstanceLock::InstanceLock(QString name) : name_(std::move(name)) {}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::runtimeDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/kivo-") + QString::number(getuid());
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

QString InstanceLock::lockPath() const {
    return runtimeDir() + QLatin1Char('/') + name_ + QStringLiteral(".lock");
}

bool InstanceLock::previousInstance() {
    if (answer_ >= 0)
        return answer_ == 1;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Never treat a lock as stale by age: a long-running instance keeps it for days.
    // QLockFile still reclaims a lock whose owner process is gone.
    lock_->setStaleLockTime(0);
    const bool mine = lock_->tryLock(0) || (lock_->error() == QLockFile::LockFailedError &&
                                            lock_->removeStaleLockFile() && lock_->tryLock(0));
    answer_ = mine ? 0 : 1;
    return !mine;
}
