// Encode time and file size per format for realistic screenshots, beside Qt's default PNG
// writer measured in the same run. Usage: bench_encoders [PNG files...] (default: the
// pictures in $KIVO_BENCH_IMAGES or the shared bench-images folder).
#include "output/GifWriter.h"
#include "output/PngWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
using Encode = std::function<QByteArray(const QImage&)>;

QByteArray withQt(const QImage& img, const char* format, int quality, int compression) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (compression >= 0)
        writer.setCompression(compression);
    writer.write(img);
    return bytes;
}

// Best of a few runs: the machine is shared, the minimum is the least disturbed figure.
void measure(const char* name, const QImage& img, const Encode& encode, int runs,
             double* msOut = nullptr, qsizetype* sizeOut = nullptr) {
    double best = 1e300;
    qsizetype size = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const QByteArray bytes = encode(img);
        best = std::min(best, t.nsecsElapsed() / 1e6);
        size = bytes.size();
    }
    std::printf("  %-22s %9.1f ms %10lld bytes\n", name, best, static_cast<long long>(size));
    if (msOut)
        *msOut = best;
    if (sizeOut)
        *sizeOut = size;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    if (files.isEmpty()) {
        const QString dir =
            qEnvironmentVariable("KIVO_BENCH_IMAGES", QStringLiteral(KIVO_BENCH_IMAGES));
        for (const QString& f : QDir(dir).entryList({"*.png"}, QDir::Files, QDir::Name))
            files << QDir(dir).filePath(f);
        if (files.isEmpty()) {
            std::fprintf(stderr, "bench_encoders: no pictures in %s\n", qPrintable(dir));
            return 1;
        }
    }
    const int runs = std::max(1, qEnvironmentVariableIntValue("KIVO_BENCH_RUNS") ?: 3);
    for (const QString& file : files) {
        const QImage img = QImage(file).convertToFormat(QImage::Format_RGB32);
        if (img.isNull()) {
            std::fprintf(stderr, "bench_encoders: cannot read %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s (%dx%d)\n", qPrintable(QFileInfo(file).fileName()), img.width(),
                    img.height());
        double qtMs = 0, fastMs = 0;
        qsizetype qtSize = 0, fastSize = 0;
        measure(
            "PNG, Qt default", img, [](const QImage& i) { return withQt(i, "png", -1, -1); }, runs,
            &qtMs, &qtSize);
        // The default level first, then its neighbours for the trade-off.
        for (int level : {5, 4, 6}) {
            const QByteArray name = "PNG, fast (level " + QByteArray::number(level) + ")";
            measure(
                name.constData(), img,
                [level](const QImage& i) { return PngWriter::encode(i, level); }, runs, &fastMs,
                &fastSize);
            std::printf("  %-22s %9.1fx faster, %5.1f%% of the size\n", "  fast vs Qt",
                        qtMs / fastMs, 100.0 * double(fastSize) / double(qtSize));
        }
        measure(
            "JPEG, quality 80", img, [](const QImage& i) { return withQt(i, "jpeg", 80, -1); },
            runs);
        measure(
            "TIFF, uncompressed", img, [](const QImage& i) { return withQt(i, "tiff", -1, 0); },
            runs);
        measure(
            "BMP", img, [](const QImage& i) { return withQt(i, "bmp", -1, -1); }, runs);
        measure(
            "GIF", img,
            [](const QImage& i) {
                const Result<QByteArray> gif = GifWriter::encode(i);
                return gif.ok() ? gif.value() : QByteArray();
            },
            1);
    }
    return 0;
}
