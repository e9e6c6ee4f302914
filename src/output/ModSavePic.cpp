#include "output/ModSavePic.h"

#include "output/GifWriter.h"
#include "output/PngWriter.h"
#include "output/SafeFileWrite.h"
#include "platform/MessageBox.h"
#include "platform/MousePointer.h"

#include <QIODevice>
#include <QImageWriter>
#include <optional>

namespace {
const QString kErrorTitle = QStringLiteral("错误");

// The TIFF compression code that means "none".
constexpr int32_t kNoCompression = 6;

struct Failure {
    int number;
    QString description;
};

bool writeWithQt(const QImage& img, QIODevice& device, const char* format, int quality,
                 int compression, QString& reason) {
    QImageWriter writer(&device, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    if (!writer.write(img)) {
        reason = writer.errorString();
        return false;
    }
    return true;
}

// The writer for a lowered extension; empty when no format has that extension.
SafeFileWrite::Writer writerFor(const QString& ext, const QImage& picture, int32_t quality,
                                int32_t colourDepth, int32_t compression) {
    // Screen pictures are opaque; 24 bits per pixel is RGB without alpha.
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (ext == QLatin1String("jpg"))
        return [opaque, quality](QIODevice& d, QString& reason) {
            return writeWithQt(opaque, d, "jpeg", quality, -1, reason);
        };
    if (ext == QLatin1String("png"))
        return [opaque](QIODevice& d, QString& reason) {
            const QByteArray bytes = PngWriter::encode(opaque);
            if (bytes.isEmpty()) {
                reason = QStringLiteral("PNG encoding failed");
                return false;
            }
            return d.write(bytes) == bytes.size();
        };
    if (ext == QLatin1String("gif"))
        return
            [opaque](QIODevice& d, QString& reason) { return GifWriter::write(opaque, d, reason); };
    if (ext == QLatin1String("tiff")) {
        const QImage tiffImage =
            colourDepth == 32 ? picture.convertToFormat(QImage::Format_ARGB32) : opaque;
        const int qtCompression = compression == kNoCompression ? 0 : 1;
        return [tiffImage, qtCompression](QIODevice& d, QString& reason) {
            return writeWithQt(tiffImage, d, "tiff", -1, qtCompression, reason);
        };
    }
    if (ext == QLatin1String("bmp"))
        return [opaque](QIODevice& d, QString& reason) {
            return writeWithQt(opaque, d, "bmp", -1, -1, reason);
        };
    return {};
}

std::optional<Failure> save(const QImage& picture, const QString& fileName,
                            const QString& extension, int32_t quality, int32_t colourDepth,
                            int32_t compression) {
    if (picture.isNull())
        return Failure{ModSavePic::InvalidPicture, QStringLiteral("无效图片")};
    const SafeFileWrite::Writer writer =
        writerFor(extension.toLower(), picture, quality, colourDepth, compression);
    if (!writer)
        return Failure{ModSavePic::UnsupportedExtension, QStringLiteral("下标越界")};
    const SafeFileWrite::Result result = SafeFileWrite::write(fileName, writer);
    switch (result.outcome) {
    case SafeFileWrite::Outcome::Written:
        return std::nullopt;
    case SafeFileWrite::Outcome::EncodeFailed:
        return Failure{ModSavePic::InvalidPicture,
                       QStringLiteral("无效图片 (%1)").arg(result.reason)};
    case SafeFileWrite::Outcome::DiskFull:
        return Failure{ModSavePic::DiskFull, QStringLiteral("磁盘已满 (%1)").arg(result.reason)};
    case SafeFileWrite::Outcome::FileFailed:
        break;
    }
    return Failure{ModSavePic::FileAccess,
                   QStringLiteral("路径/文件访问错误 (%1)").arg(result.reason)};
}
} // namespace

QString ModSavePic::errorMessage(int number, const QString& description) {
    return QStringLiteral("在保存图片的过程中发生错误:\r\n\r\n错误号: %1\r\n错误描述: %2")
        .arg(number)
        .arg(description);
}

bool ModSavePic::SavePic(const QImage& picture, const QString& fileName, const QString& extension,
                         int32_t quality, int32_t colourDepth, int32_t compression,
                         MousePointer& pointer, MessageBox& messageBox) {
    pointer.set(PointerShape::Hourglass);
    const std::optional<Failure> failure =
        save(picture, fileName, extension, quality, colourDepth, compression);
    pointer.set(PointerShape::Default);
    if (failure)
        messageBox.show(errorMessage(failure->number, failure->description), kErrorTitle,
                        MessageBox::Information);
    return !failure;
}
