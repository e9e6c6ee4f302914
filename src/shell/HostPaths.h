#pragma once
#include <QDir>
#include <QString>

// Where the host for this user and this desktop keeps its lock and its command socket: in
// the user's private runtime folder, named after the desktop (kivo-x11-0.lock,
// kivo-x11-0.socket), so that each desktop of one user has a host of its own.
struct HostPaths {
    QString lock, socket;
    // When the runtime folder cannot be used: one line for stderr naming it and why.
    QString error;

    // tmpBase: where the runtime folder goes when XDG_RUNTIME_DIR is unset.
    static HostPaths find(const QString& tmpBase = QDir::tempPath());
};
