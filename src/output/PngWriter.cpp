#include "output/PngWriter.h"

#include <libdeflate.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {
void putU32(uchar* p, quint32 v) {
    p[0] = uchar(v >> 24);
    p[1] = uchar(v >> 16);
    p[2] = uchar(v >> 8);
    p[3] = uchar(v);
}

// Append a chunk whose data is already in place at out[at + 8 .. at + 8 + length).
void sealChunk(QByteArray& out, qsizetype at, const char type[4], quint32 length) {
    auto* p = reinterpret_cast<uchar*>(out.data()) + at;
    putU32(p, length);
    std::memcpy(p + 4, type, 4);
    const quint32 crc = libdeflate_crc32(0, p + 4, size_t(length) + 4);
    putU32(p + 8 + length, crc);
}

// Bytes of one row as PNG wants them: R, G, B (and A) per pixel.
void unpackRow(const QRgb* src, int width, bool alpha, uchar* dst) {
    if (alpha) {
        for (int x = 0; x < width; ++x, dst += 4) {
            dst[0] = uchar(qRed(src[x]));
            dst[1] = uchar(qGreen(src[x]));
            dst[2] = uchar(qBlue(src[x]));
            dst[3] = uchar(qAlpha(src[x]));
        }
    } else {
        for (int x = 0; x < width; ++x, dst += 3) {
            dst[0] = uchar(qRed(src[x]));
            dst[1] = uchar(qGreen(src[x]));
            dst[2] = uchar(qBlue(src[x]));
        }
    }
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};
} // namespace

QByteArray PngWriter::encode(const QImage& image, int level) {
    if (image.isNull())
        return {};
    const bool alpha = image.hasAlphaChannel();
    const QImage src = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (src.isNull())
        return {};
    const int width = src.width(), height = src.height();
    const size_t channels = alpha ? 4 : 3;
    const size_t rowBytes = size_t(width) * channels;
    const size_t stride = rowBytes + 1;

    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(level));
    if (!compressor)
        return {};

    std::vector<uchar> filtered;
    std::vector<uchar> rows[2];
    try {
        filtered.resize(stride * size_t(height));
        rows[0].assign(rowBytes, 0);
        rows[1].resize(rowBytes);
    } catch (const std::bad_alloc&) {
        return {};
    }
    // Up: each byte minus the byte above it (zero above the first row).
    for (int y = 0; y < height; ++y) {
        std::vector<uchar>& cur = rows[y & 1];
        const std::vector<uchar>& above = rows[(y + 1) & 1];
        unpackRow(reinterpret_cast<const QRgb*>(src.constScanLine(y)), width, alpha, cur.data());
        uchar* dst = filtered.data() + stride * size_t(y);
        dst[0] = 2;
        for (size_t i = 0; i < rowBytes; ++i)
            dst[1 + i] = uchar(cur[i] - above[i]);
    }

    static const uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filtered.size());
    const qsizetype ihdrAt = 8, idatAt = ihdrAt + 12 + 13;
    QByteArray out;
    try {
        out.resize(qsizetype(idatAt + 12 + bound + 12));
    } catch (const std::bad_alloc&) {
        return {};
    }
    std::memcpy(out.data(), signature, 8);

    auto* ihdr = reinterpret_cast<uchar*>(out.data()) + ihdrAt + 8;
    putU32(ihdr, quint32(width));
    putU32(ihdr + 4, quint32(height));
    ihdr[8] = 8;                        // bits per channel
    ihdr[9] = alpha ? 6 : 2;            // RGBA or RGB
    ihdr[10] = ihdr[11] = ihdr[12] = 0; // deflate, adaptive filtering, no interlace
    sealChunk(out, ihdrAt, "IHDR", 13);

    const size_t packed = libdeflate_zlib_compress(compressor.get(), filtered.data(),
                                                   filtered.size(), out.data() + idatAt + 8, bound);
    if (packed == 0 || packed > 0x7fffffffu)
        return {};
    sealChunk(out, idatAt, "IDAT", quint32(packed));

    const qsizetype iendAt = idatAt + 12 + qsizetype(packed);
    sealChunk(out, iendAt, "IEND", 0);
    out.resize(iendAt + 12);
    return out;
}
