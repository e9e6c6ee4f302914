#include "shell/AppIcon.h"

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addFile(QStringLiteral(":/icons/kivo-%1.png").arg(size), QSize(size, size));
    return icon;
}
