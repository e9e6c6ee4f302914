#include "output/PictureEncoder.h"

#include "form/Vocabulary.h"
#include "output/GifWriter.h"
#include "output/PngWriter.h"

#include <QBuffer>
#include <QImageWriter>

namespace {
Failure invalid(const QString& why) {
    return {ErrorNumber::InvalidPicture, QStringLiteral("无效图片 (%1)").arg(why)};
}

Result<QByteArray> withQt(const QImage& img, const char* format, int quality, int compression) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    if (!writer.write(img) || bytes.isEmpty())
        return invalid(writer.errorString());
    return bytes;
}
} // namespace

Result<QByteArray> encodePicture(const QImage& picture, const QString& extension, int32_t quality,
                                 int32_t colourDepth, int32_t compression) {
    if (picture.isNull())
        return invalid(QStringLiteral("no picture"));
    const QString ext = extension.toLower();
    // Screen pictures are opaque; 24 bits per pixel is RGB without alpha.
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (opaque.isNull())
        return Failure{ErrorNumber::OutOfMemory, QStringLiteral("内存不足")};
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return withQt(opaque, "jpeg", quality, -1);
    if (ext == QLatin1String("png")) {
        QByteArray bytes = PngWriter::encode(opaque);
        if (bytes.isEmpty())
            return Failure{ErrorNumber::OutOfMemory, QStringLiteral("内存不足")};
        return bytes;
    }
    if (ext == QLatin1String("gif"))
        return GifWriter::encode(opaque);
    if (ext == QLatin1String("tiff") || ext == QLatin1String("tif")) {
        const QImage tiff =
            colourDepth == 32 ? picture.convertToFormat(QImage::Format_ARGB32) : opaque;
        return withQt(tiff, "tiff", -1, compression == kivo::kTiffNoCompression ? 0 : 1);
    }
    if (ext == QLatin1String("bmp"))
        return withQt(opaque, "bmp", -1, -1);
    return Failure{ErrorNumber::UnsupportedExtension, QStringLiteral("下标越界")};
}
