#include "output/GifWriter.h"

#include <gif_lib.h>

#include <array>
#include <exception>
#include <new>
#include <unordered_map>
#include <vector>

namespace {
constexpr int kPaletteSize = 256;

struct Indexed {
    std::vector<GifByteType> pixels;
    std::array<GifColorType, kPaletteSize> palette{};
};

// Exact palette when the picture has at most 256 colours; false when it has more.
bool exactPalette(const QImage& img, Indexed& out) {
    std::unordered_map<QRgb, GifByteType> index;
    index.reserve(kPaletteSize * 2);
    size_t at = 0;
    QRgb last = 0;
    GifByteType lastIndex = 0;
    bool haveLast = false;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x, ++at) {
            const QRgb c = row[x] & 0xffffff;
            if (!haveLast || c != last) {
                auto it = index.find(c);
                if (it == index.end()) {
                    if (index.size() == kPaletteSize)
                        return false;
                    const auto i = GifByteType(index.size());
                    it = index.emplace(c, i).first;
                    out.palette[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)),
                                      GifByteType(qBlue(c))};
                }
                last = c;
                lastIndex = it->second;
                haveLast = true;
            }
            out.pixels[at] = lastIndex;
        }
    }
    return true;
}

// Median cut by giflib, then every entry set to the mean colour of its pixels.
bool quantized(const QImage& img, Indexed& out) {
    const size_t n = size_t(img.width()) * size_t(img.height());
    std::vector<GifByteType> r(n), g(n), b(n);
    size_t at = 0;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x, ++at) {
            r[at] = GifByteType(qRed(row[x]));
            g[at] = GifByteType(qGreen(row[x]));
            b[at] = GifByteType(qBlue(row[x]));
        }
    }
    int size = kPaletteSize;
    if (GifQuantizeBuffer(unsigned(img.width()), unsigned(img.height()), &size, r.data(), g.data(),
                          b.data(), out.pixels.data(), out.palette.data()) != GIF_OK)
        return false;
    std::array<std::array<quint64, 4>, kPaletteSize> sums{};
    for (size_t i = 0; i < n; ++i) {
        auto& s = sums[out.pixels[i]];
        s[0] += r[i];
        s[1] += g[i];
        s[2] += b[i];
        ++s[3];
    }
    for (int i = 0; i < kPaletteSize; ++i) {
        const auto& s = sums[size_t(i)];
        if (s[3] == 0)
            continue;
        out.palette[size_t(i)] = {GifByteType((s[0] + s[3] / 2) / s[3]),
                                  GifByteType((s[1] + s[3] / 2) / s[3]),
                                  GifByteType((s[2] + s[3] / 2) / s[3])};
    }
    return true;
}

// giflib's output callback: a short count tells it the write failed.
int appendToBytes(GifFileType* gif, const GifByteType* data, int length) {
    try {
        static_cast<QByteArray*>(gif->UserData)
            ->append(reinterpret_cast<const char*>(data), length);
        return length;
    } catch (const std::exception&) {
        return 0; // nothing may be thrown through giflib
    }
}

bool writeGif(const QImage& img, Indexed& indexed, QByteArray& bytes) {
    ColorMapObject* map = GifMakeMapObject(kPaletteSize, indexed.palette.data());
    GifFileType* gif = map ? EGifOpen(&bytes, appendToBytes, nullptr) : nullptr;
    bool ok = gif && EGifPutScreenDesc(gif, img.width(), img.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, img.width(), img.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < img.height(); ++y)
        ok = EGifPutLine(gif, indexed.pixels.data() + size_t(y) * size_t(img.width()),
                         img.width()) == GIF_OK;
    // giflib frees the handle whatever the outcome.
    if (gif && EGifCloseFile(gif, nullptr) != GIF_OK)
        ok = false;
    GifFreeMapObject(map);
    return ok;
}

Failure gifFailure(const QString& why) {
    return {ErrorNumber::InvalidPicture, QStringLiteral("无效图片 (%1)").arg(why)};
}
} // namespace

Result<QByteArray> GifWriter::encode(const QImage& image) {
    if (image.isNull() || image.width() > 0xffff || image.height() > 0xffff)
        return gifFailure(QStringLiteral("a GIF holds at most 65535 x 65535 pixels"));
    QByteArray bytes;
    try {
        const QImage img = image.convertToFormat(QImage::Format_RGB32);
        if (img.isNull())
            throw std::bad_alloc();
        Indexed indexed;
        indexed.pixels.resize(size_t(img.width()) * size_t(img.height()));
        if (!exactPalette(img, indexed) && !quantized(img, indexed))
            return gifFailure(QStringLiteral("GIF colour reduction failed"));
        if (!writeGif(img, indexed, bytes))
            return gifFailure(QStringLiteral("GIF writing failed"));
    } catch (const std::bad_alloc&) {
        return Failure{ErrorNumber::OutOfMemory, QStringLiteral("内存不足")};
    }
    return bytes;
}
