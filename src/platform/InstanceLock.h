#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Tells whether another instance of the program already runs for this user.
class InstanceCheck {
public:
    virtual ~InstanceCheck() = default;
    virtual bool previousInstance() = 0;
};

// A per-user lock file in the runtime folder, held for the life of the process. A lock
// left behind by a dead process (kill -9) is taken over at once.
class InstanceLock final : public InstanceCheck {
public:
    // name: the lock's base name; tests pass their own so that they never meet a real Kivo.
    explicit InstanceLock(QString name = QStringLiteral("kivo"));
    ~InstanceLock() override;
    bool previousInstance() override;
    // The folder that holds the lock and the command socket: private to this user.
    static QString runtimeDir();
    QString lockPath() const;

private:
    QString name_;
    std::unique_ptr<QLockFile> lock_;
    int answer_ = -1; // -1 not asked yet; the answer is fixed by the first question
};
