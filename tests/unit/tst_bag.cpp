// The snapshot bytes: lossless round trips, independent copies, and a clear error (never a
// crash or a huge allocation) for bytes that are not a snapshot.
#include "output/ExcelPropertyBag.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

class TestBag : public QObject {
    Q_OBJECT

    static QImage noise(int w, int h, QImage::Format f, quint32 seed) {
        QImage img(w, h, f);
        QRandomGenerator rng(seed);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                img.setPixel(x, y, rng.generate() | (f == QImage::Format_RGB32 ? 0xFF000000u : 0u));
        return img;
    }

private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<QImage>("pic");
        QTest::newRow("rgb32 noise") << noise(37, 23, QImage::Format_RGB32, 1);
        QTest::newRow("argb32 noise") << noise(16, 9, QImage::Format_ARGB32, 2);
        QTest::newRow("one pixel") << noise(1, 1, QImage::Format_RGB32, 3);
        QTest::newRow("one row") << noise(300, 1, QImage::Format_RGB32, 4);
        QTest::newRow("empty") << QImage();
    }
    void roundTrip() {
        QFETCH(QImage, pic);
        ExcelPropertyBag bag;
        QByteArray bytes;
        bag.WriteP(bytes, pic);
        const QImage back = bag.ReadP(bytes);
        QCOMPARE(back.size(), pic.size());
        QCOMPARE(back, pic);
    }

    void otherFormatsKeepTheirPixels() {
        QImage rgb888(5, 4, QImage::Format_RGB888);
        rgb888.fill(QColor(12, 34, 56));
        rgb888.setPixel(2, 3, qRgb(200, 100, 50));
        ExcelPropertyBag bag;
        QByteArray bytes;
        bag.WriteP(bytes, rgb888);
        const QImage back = bag.ReadP(bytes);
        QCOMPARE(back.pixel(0, 0), qRgb(12, 34, 56));
        QCOMPARE(back.pixel(2, 3), qRgb(200, 100, 50));
    }

    void writeReplacesAndCopiesAreIndependent() {
        ExcelPropertyBag bag;
        QImage pic = noise(8, 8, QImage::Format_RGB32, 5);
        QByteArray a = "old contents";
        QByteArray b;
        bag.WriteP(a, pic);
        bag.WriteP(b, pic);
        QCOMPARE(a, b);
        // Changing the picture afterwards changes neither array.
        pic.fill(Qt::white);
        QCOMPARE(bag.ReadP(a), noise(8, 8, QImage::Format_RGB32, 5));
        a[30] = char(a[30] ^ 0x55);
        QCOMPARE(bag.ReadP(b), noise(8, 8, QImage::Format_RGB32, 5));
    }

    void badBytesFailClearly_data() {
        QTest::addColumn<QByteArray>("bytes");
        ExcelPropertyBag bag;
        QByteArray good;
        bag.WriteP(good, noise(10, 10, QImage::Format_RGB32, 6));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short header") << good.left(12);
        QTest::newRow("header only") << good.left(24);
        QTest::newRow("truncated pixels") << good.left(good.size() - 1);
        QTest::newRow("extra bytes") << good + QByteArray(4, '\0');
        QByteArray magic = good;
        magic[0] = 'X';
        QTest::newRow("wrong magic") << magic;
        QByteArray version = good;
        qToLittleEndian<quint32>(2, version.data() + 8);
        QTest::newRow("unknown version") << version;
        QByteArray huge = good.left(24);
        qToLittleEndian<quint32>(60000, huge.data() + 12);
        qToLittleEndian<quint32>(60000, huge.data() + 16);
        QTest::newRow("huge size, no pixels") << huge;
        QByteArray wrongSize = good;
        qToLittleEndian<quint32>(11, wrongSize.data() + 12);
        QTest::newRow("wrong width") << wrongSize;
        QByteArray format = good;
        qToLittleEndian<quint32>(quint32(QImage::Format_Indexed8), format.data() + 20);
        QTest::newRow("unsupported format") << format;
        QTest::newRow("text") << QByteArray("this is not a picture at all, not even close");
    }
    void badBytesFailClearly() {
        QFETCH(QByteArray, bytes);
        ExcelPropertyBag bag;
        try {
            bag.ReadP(bytes);
            QFAIL("ReadP accepted bytes that are not a snapshot");
        } catch (const ExcelPropertyBag::Error& e) {
            QVERIFY(std::string(e.what()).find("snapshot") != std::string::npos);
        }
    }

    void randomBytesNeverCrash() {
        ExcelPropertyBag bag;
        QByteArray good;
        bag.WriteP(good, noise(6, 5, QImage::Format_RGB32, 7));
        QRandomGenerator rng(42);
        int accepted = 0;
        for (int i = 0; i < 3000; ++i) {
            QByteArray bytes = good;
            // Flip a few bytes anywhere, headers included, and sometimes cut the end.
            for (int k = 0; k < 3; ++k)
                bytes[int(rng.bounded(bytes.size()))] = char(rng.generate());
            if (i % 3 == 0)
                bytes.truncate(int(rng.bounded(bytes.size())));
            try {
                const QImage img = bag.ReadP(bytes);
                QVERIFY(img.width() <= 65535 && img.height() <= 65535);
                ++accepted;
            } catch (const ExcelPropertyBag::Error&) {
            }
        }
        // Flips inside the pixels still read back; damaged headers and cut ends do not.
        QVERIFY(accepted > 0);
        QVERIFY(accepted < 3000);
    }
};

QTEST_GUILESS_MAIN(TestBag)
#include "tst_bag.moc"
