#include "output/SaveFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString saveStartFolder(const QString& picturesDir, const QString& homeDir) {
    if (!picturesDir.isEmpty() && QFileInfo(picturesDir).isDir())
        return picturesDir;
    return homeDir;
}

QString saveStartFolder() {
    return saveStartFolder(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                           QDir::homePath());
}
