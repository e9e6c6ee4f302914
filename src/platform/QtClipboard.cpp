#include "platform/QtClipboard.h"

#include "output/PngWriter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {
const QString kPng = QStringLiteral("image/png");

// Qt encodes a picture for each request with its slow default PNG settings; this one
// answers image/png with the fast encoder and leaves the other formats to Qt.
class FastPngMimeData final : public QMimeData {
public:
    explicit FastPngMimeData(const QImage& img) { setImageData(img); }

    QStringList formats() const override {
        QStringList list = QMimeData::formats();
        list.prepend(kPng);
        return list;
    }
    bool hasFormat(const QString& mimeType) const override {
        return mimeType == kPng || QMimeData::hasFormat(mimeType);
    }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (mimeType != kPng)
            return QMimeData::retrieveData(mimeType, type);
        if (png_.isEmpty())
            png_ = PngWriter::encode(qvariant_cast<QImage>(imageData()));
        return png_;
    }

private:
    mutable QByteArray png_;
};
} // namespace

void QtClipboard::setImage(const QImage& img) {
    // Replacing the data empties the clipboard of what it held before.
    QGuiApplication::clipboard()->setMimeData(new FastPngMimeData(img));
}

QImage QtClipboard::image() const {
    return QGuiApplication::clipboard()->image();
}

void QtClipboard::clear() {
    QGuiApplication::clipboard()->clear();
}
