#pragma once
#include <QString>

// The folder the Save dialog opens in: the user's Pictures folder (as the desktop's user
// folders name it) when it exists, else home.
QString saveStartFolder(const QString& picturesDir, const QString& homeDir);
// The same for this user.
QString saveStartFolder();
