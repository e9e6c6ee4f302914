#include "output/SaveFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString saveStartFolder(const QString& programDir, const QString& picturesDir,
                        const QString& homeDir) {
    const QFileInfo program(programDir);
    if (!programDir.isEmpty() && program.isDir() && program.isWritable())
        return programDir;
    if (!picturesDir.isEmpty() && QFileInfo(picturesDir).isDir())
        return picturesDir;
    return homeDir;
}

QString saveStartFolder() {
    return saveStartFolder(QCoreApplication::applicationDirPath(),
                           QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                           QDir::homePath());
}
