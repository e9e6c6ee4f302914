#include "platform/QtClipboard.h"

#include "platform/PortalScreenSource.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
const QString kPng = QStringLiteral("image/png");

// Holds only the PNG bytes. Qt offers every other picture format of a clipboard image and
// makes it on request from imageData(), which decodes the bytes for that one request.
class PngMimeData final : public QMimeData {
public:
    explicit PngMimeData(const QByteArray& png) : png_(png) {}

    QStringList formats() const override {
        return {kPng, QStringLiteral("application/x-qt-image")};
    }
    bool hasFormat(const QString& mimeType) const override { return formats().contains(mimeType); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (mimeType == kPng)
            return png_;
        if (mimeType == QLatin1String("application/x-qt-image"))
            return QImage::fromData(png_, "PNG");
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    QByteArray png_;
};
} // namespace

void QtClipboard::setPng(const QByteArray& png) {
    // Replacing the data empties the clipboard of what it held before.
    auto* data = new PngMimeData(png);
    ours_ = data;
    QGuiApplication::clipboard()->setMimeData(data);
}

bool QtClipboard::holdsOurs() const {
    // Another owner's data reaches this program as an object of Qt's own.
    return ours_ && QGuiApplication::clipboard()->mimeData() == ours_;
}

QImage QtClipboard::image() const {
    return QGuiApplication::clipboard()->image();
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}

bool QtClipboard::setsWithoutWindow() const {
    // On Xwayland the compositor bridges the X11 selection, by rules of its own.
    return QGuiApplication::platformName() == QLatin1String("xcb") && !waylandSession();
}
