#include "shell/HostPaths.h"

#include "platform/DisplayName.h"
#include "platform/PrivateFolder.h"

HostPaths HostPaths::find(const QString& tmpBase) {
    const PrivateFolder::Runtime folder = PrivateFolder::runtime(QStringLiteral("kivo"), tmpBase);
    HostPaths paths;
    if (!folder.error.isEmpty()) {
        paths.error = QStringLiteral("kivo: cannot use the runtime folder %1: %2")
                          .arg(folder.path, folder.error);
        return paths;
    }
    const QString display = DisplayName::fileKey();
    const QString base = folder.path + QStringLiteral("/kivo") +
                         (display.isEmpty() ? QString() : QLatin1Char('-') + display);
    paths.lock = base + QStringLiteral(".lock");
    paths.socket = base + QStringLiteral(".socket");
    return paths;
}
