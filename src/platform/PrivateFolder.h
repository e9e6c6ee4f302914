#pragma once
#include <QDir>
#include <QString>

// A folder only this user can reach, for sockets and locks: a real directory (not a link),
// owned by this user, with no access for group or others. Checked through a descriptor
// opened without following links, so nothing is ever changed or written through a link.
namespace PrivateFolder {
// Make sure path is private as above, creating it so when missing (its parent must exist).
// Returns what is wrong with it in a few words, or nothing when it can be used.
QString prepare(const QString& path);

struct Runtime {
    QString path;  // the folder
    QString error; // what is wrong with it; empty when it can be used
};
// The user's runtime folder, prepared: $XDG_RUNTIME_DIR when it is set to an absolute path,
// else <fallbackBase>/<name>-<uid>.
Runtime runtime(const QString& name, const QString& fallbackBase = QDir::tempPath());
} // namespace PrivateFolder
