#include "platform/QtShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

void QtShell::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

bool QtShell::startProgram(const QString& path) {
    return QProcess::startDetached(path, {});
}

bool QtShell::fileExists(const QString& path) const {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}
