// The fast PNG and the GIF writer: what they write decodes to the picture they were given.
#include "output/GifWriter.h"
#include "output/PngWriter.h"

#include <QRandomGenerator>
#include <QTest>

namespace {
// Screen-like content: flat areas, gradients, text-like noise.
QImage screenLike(int w, int h, bool alpha = false) {
    QImage img(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator rng(42);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c = (x / 16 + y / 16) % 3 == 0 ? qRgb(x % 256, y % 256, (x * y) % 256)
                                                : qRgb(30, 60, 90);
            if (rng.bounded(8) == 0)
                c = rng.generate() | 0xff000000;
            if (alpha)
                c = qRgba(qRed(c), qGreen(c), qBlue(c), (x + y) % 256);
            img.setPixel(x, y, c);
        }
    return img;
}

QImage fewColours(int w, int h, int colours) {
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    QList<QRgb> palette;
    // White and near-white neighbours: a 5-bit palette would merge or shift them.
    palette << qRgb(255, 255, 255) << qRgb(252, 252, 252) << qRgb(0, 0, 0) << qRgb(1, 2, 3);
    while (palette.size() < colours)
        palette << (rng.generate() | 0xff000000);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, palette[(x / 3 + y * 7) % colours]);
    return img;
}

QImage decode(const QByteArray& bytes, const char* format) {
    QImage img;
    img.loadFromData(bytes, format);
    return img;
}
} // namespace

class tst_ImageEncoders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pngDecodesToTheSamePixels_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("alpha");
        QTest::newRow("one pixel") << QSize(1, 1) << false;
        QTest::newRow("one row") << QSize(301, 1) << false;
        QTest::newRow("one column") << QSize(1, 257) << false;
        QTest::newRow("screen-like") << QSize(640, 400) << false;
        QTest::newRow("with alpha") << QSize(123, 77) << true;
    }
    void pngDecodesToTheSamePixels() {
        QFETCH(QSize, size);
        QFETCH(bool, alpha);
        const QImage src = screenLike(size.width(), size.height(), alpha);
        const QByteArray png = PngWriter::encode(src);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        const QImage back = decode(png, "PNG");
        QCOMPARE(back.size(), size);
        QCOMPARE(back.hasAlphaChannel(), alpha);
        const auto fmt = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        QCOMPARE(back.convertToFormat(fmt), src);
    }

    void pngOfOtherFormatsAndNothing() {
        QVERIFY(PngWriter::encode(QImage()).isEmpty());
        QImage rgb16 = screenLike(50, 40).convertToFormat(QImage::Format_RGB16);
        QCOMPARE(decode(PngWriter::encode(rgb16), "PNG").convertToFormat(QImage::Format_RGB32),
                 rgb16.convertToFormat(QImage::Format_RGB32));
    }

    void gifKeepsFewColoursExactly_data() {
        QTest::addColumn<int>("colours");
        QTest::newRow("2") << 2;
        QTest::newRow("79") << 79;
        QTest::newRow("256") << 256;
    }
    void gifKeepsFewColoursExactly() {
        QFETCH(int, colours);
        const QImage src = fewColours(300, 200, colours);
        const Result<QByteArray> gif = GifWriter::encode(src);
        QVERIFY(gif.ok());
        const QByteArray& bytes = gif.value();
        QVERIFY(bytes.startsWith("GIF8"));
        QCOMPARE(decode(bytes, "GIF").convertToFormat(QImage::Format_RGB32), src);
    }

    void gifOfManyColoursIsClose() {
        // Large flat areas in colours the quantizer would shift, plus many other colours.
        QImage src = screenLike(320, 240);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 320; ++x)
                src.setPixel(x, y, y < 60 ? qRgb(255, 255, 255) : qRgb(13, 101, 203));
        const Result<QByteArray> gif = GifWriter::encode(src);
        QVERIFY(gif.ok());
        const QImage back = decode(gif.value(), "GIF").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back.size(), src.size());
        // A large flat area dominates the mean of its entry: white stays white (a 5-bit
        // palette gives #f8f8f8) and other flat colours stay within a step or two.
        QCOMPARE(back.pixel(5, 5), qRgb(255, 255, 255));
        const QRgb flat = back.pixel(5, 100);
        QVERIFY2(std::abs(qRed(flat) - 13) <= 2 && std::abs(qGreen(flat) - 101) <= 2 &&
                     std::abs(qBlue(flat) - 203) <= 2,
                 qPrintable(QString::number(flat, 16)));
        // The rest: each channel off by a little on average.
        double error2 = 0;
        for (int y = 120; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const QRgb a = src.pixel(x, y), b = back.pixel(x, y);
                error2 += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                          std::abs(qBlue(a) - qBlue(b));
            }
        QVERIFY2(error2 / (120 * 320 * 3) < 20,
                 qPrintable(QString::number(error2 / (120 * 320 * 3))));
    }

    void gifRefusesWhatItCannotHold() {
        const Result<QByteArray> wide = GifWriter::encode(QImage(70000, 1, QImage::Format_RGB32));
        QVERIFY(!wide.ok());
        QCOMPARE(wide.failure().number, 481);
        QVERIFY(!GifWriter::encode(QImage()).ok());
    }
};

QTEST_GUILESS_MAIN(tst_ImageEncoders)
#include "tst_ImageEncoders.moc"
