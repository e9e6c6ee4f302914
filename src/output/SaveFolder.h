#pragma once
#include <QString>

// The folder the Save dialog opens in: the program's own folder when the user may write
// there, else the user's Pictures folder (or home when that does not exist).
QString saveStartFolder(const QString& programDir, const QString& picturesDir,
                        const QString& homeDir);
// The same for this program and user.
QString saveStartFolder();
