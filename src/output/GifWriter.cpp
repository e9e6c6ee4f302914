#include "output/GifWriter.h"

#include <QIODevice>
#include <gif_lib.h>

#include <array>
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
bool quantized(const QImage& img, Indexed& out, QString& error) {
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
                          b.data(), out.pixels.data(), out.palette.data()) != GIF_OK) {
        error = QStringLiteral("GIF colour reduction failed");
        return false;
    }
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

int writeToDevice(GifFileType* gif, const GifByteType* data, int length) {
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return int(device->write(reinterpret_cast<const char*>(data), length));
}
} // namespace

bool GifWriter::write(const QImage& image, QIODevice& device, QString& error) {
    if (image.isNull() || image.width() > 0xffff || image.height() > 0xffff) {
        error = QStringLiteral("a GIF holds at most 65535 x 65535 pixels");
        return false;
    }
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    Indexed indexed;
    try {
        indexed.pixels.resize(size_t(img.width()) * size_t(img.height()));
        if (!exactPalette(img, indexed) && !quantized(img, indexed, error))
            return false;
    } catch (const std::bad_alloc&) {
        error = QStringLiteral("out of memory");
        return false;
    }

    ColorMapObject* map = GifMakeMapObject(kPaletteSize, indexed.palette.data());
    int status = 0;
    GifFileType* gif = map ? EGifOpen(&device, writeToDevice, &status) : nullptr;
    bool ok = gif && EGifPutScreenDesc(gif, img.width(), img.height(), 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, img.width(), img.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < img.height(); ++y)
        ok = EGifPutLine(gif, indexed.pixels.data() + size_t(y) * size_t(img.width()),
                         img.width()) == GIF_OK;
    if (gif) {
        if (!ok)
            status = gif->Error;
        int closeStatus = 0;
        // giflib frees the handle whatever the outcome.
        if (EGifCloseFile(gif, &closeStatus) != GIF_OK && ok) {
            status = closeStatus;
            ok = false;
        }
    }
    GifFreeMapObject(map);
    if (!ok) {
        const char* reason = GifErrorString(status ? status : E_GIF_ERR_WRITE_FAILED);
        error = reason ? QString::fromLatin1(reason) : QStringLiteral("GIF writing failed");
    }
    return ok;
}
