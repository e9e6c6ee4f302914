#include "form/AppIcon.h"

#include <QImageReader>

QPixmap appIconPixmap(int size) {
    // Read as PNG and nothing else: a reader left to recognise the file asks every image
    // format plugin first, which loads them all, with their libraries, for the life of the
    // tray host.
    QImageReader reader(QStringLiteral(":/icons/kivo-%1.png").arg(size), "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(appIconPixmap(size));
    return icon;
}
