#include "output/ExcelPropertyBag.h"

#include <QtEndian>
#include <cstring>

namespace {
constexpr char kMagic[8] = {'K', 'I', 'V', 'O', 'P', 'I', 'C', '\0'};
constexpr int kHeaderSize = 8 + 4 * 4;

Failure invalid(const char* why) {
    return {ErrorNumber::InvalidPicture, QStringLiteral("无效图片 (%1)").arg(QLatin1String(why))};
}

bool supported(quint32 f) {
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied;
}
} // namespace

void ExcelPropertyBag::WriteP(QByteArray& bytes, const QImage& pic) const {
    QImage img = pic;
    if (!img.isNull() && !supported(quint32(img.format())))
        img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                        : QImage::Format_RGB32);
    const quint32 w = quint32(img.width()), h = quint32(img.height());
    const qsizetype row = qsizetype(w) * 4;
    QByteArray out(kHeaderSize + row * qsizetype(h), Qt::Uninitialized);
    char* p = out.data();
    std::memcpy(p, kMagic, 8);
    qToLittleEndian<quint32>(kVersion, p + 8);
    qToLittleEndian<quint32>(w, p + 12);
    qToLittleEndian<quint32>(h, p + 16);
    // An empty picture is stored as an empty RGB32 one.
    qToLittleEndian<quint32>(quint32(img.isNull() ? QImage::Format_RGB32 : img.format()), p + 20);
    for (quint32 y = 0; y < h; ++y)
        std::memcpy(p + kHeaderSize + row * y, img.constScanLine(int(y)), size_t(row));
    bytes = std::move(out);
}

Result<QImage> ExcelPropertyBag::ReadP(const QByteArray& bytes) const {
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.constData(), kMagic, 8) != 0)
        return invalid("not a picture snapshot");
    const char* p = bytes.constData();
    const quint32 version = qFromLittleEndian<quint32>(p + 8);
    const quint32 w = qFromLittleEndian<quint32>(p + 12);
    const quint32 h = qFromLittleEndian<quint32>(p + 16);
    const quint32 format = qFromLittleEndian<quint32>(p + 20);
    if (version != kVersion)
        return invalid("picture snapshot of unknown version");
    // Checked as a number before it becomes a format: any other value is no format of ours.
    if (!supported(format))
        return invalid("picture snapshot with unsupported pixel format");
    if (w > kMaxSide || h > kMaxSide)
        return invalid("picture snapshot larger than 65535 pixels a side");
    // A picture with no pixels has no size at all: 0 x 5 is no picture of ours.
    if ((w == 0) != (h == 0))
        return invalid("picture snapshot with one side empty");
    const qsizetype row = qsizetype(w) * 4;
    // Check the length before allocating anything, so that no header can ask for more
    // memory than the bytes themselves hold.
    if (bytes.size() != kHeaderSize + row * qsizetype(h))
        return invalid("picture snapshot truncated or of the wrong size");
    if (w == 0)
        return QImage();
    QImage img{int(w), int(h), QImage::Format(format)};
    if (img.isNull())
        return Failure{ErrorNumber::OutOfMemory, QStringLiteral("内存不足")};
    for (quint32 y = 0; y < h; ++y)
        std::memcpy(img.scanLine(int(y)), p + kHeaderSize + row * y, size_t(row));
    return img;
}
