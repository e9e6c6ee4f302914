#pragma once
#include <QString>

// Tells whether another instance of the program already runs (for this user and desktop).
class InstanceCheck {
public:
    virtual ~InstanceCheck() = default;
    virtual bool previousInstance() = 0;
};

// A lock file held for the life of the process through flock(2): the system lets go of it
// when the holder ends, however it ends, so a file left behind never blocks. A link, pipe
// or socket found at the path is removed (never what a link points to) and a file put in
// its place; a folder there is never touched, and reported.
class InstanceLock final : public InstanceCheck {
public:
    explicit InstanceLock(QString path);
    ~InstanceLock() override;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another process holds the lock; otherwise this process takes it. The first
    // answer stands. False (with error() set) when the lock cannot be used at all.
    bool previousInstance() override;
    // Why the lock could not be used, in a few words; empty when it could.
    const QString& error() const { return error_; }
    const QString& path() const { return path_; }

    // Whether some process holds the lock at path; asked without taking it.
    static bool held(const QString& path);

private:
    QString path_;
    QString error_;
    int fd_ = -1;
    int answer_ = -1; // -1 not asked yet; the answer is fixed by the first question
};
