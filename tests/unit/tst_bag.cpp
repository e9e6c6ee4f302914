// The snapshot bytes: lossless round trips, independent copies, and a clear error (never a
// crash, undefined behaviour or a huge allocation) for bytes that are not a snapshot.
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
    static QImage read(const QByteArray& bytes) {
        const Result<QImage> r = ExcelPropertyBag().ReadP(bytes);
        return r.ok() ? r.value() : QImage();
    }

private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<QImage>("pic");
        QTest::addColumn<QImage>("expected");
        const QImage rgb = noise(37, 23, QImage::Format_RGB32, 1);
        QTest::newRow("rgb32 noise") << rgb << rgb;
        const QImage argb = noise(16, 9, QImage::Format_ARGB32, 2);
        QTest::newRow("argb32 noise") << argb << argb;
        QTest::newRow("one row") << noise(300, 1, QImage::Format_RGB32, 4)
                                 << noise(300, 1, QImage::Format_RGB32, 4);
        QTest::newRow("empty") << QImage() << QImage();
        QImage rgb888(5, 4, QImage::Format_RGB888);
        rgb888.fill(QColor(12, 34, 56));
        rgb888.setPixel(2, 3, qRgb(200, 100, 50));
        QTest::newRow("other format") << rgb888 << rgb888.convertToFormat(QImage::Format_RGB32);
    }
    void roundTrip() {
        QFETCH(QImage, pic);
        QByteArray bytes = "old contents";
        ExcelPropertyBag().WriteP(bytes, pic);
        const Result<QImage> back = ExcelPropertyBag().ReadP(bytes);
        QVERIFY(back.ok());
        QTEST(back.value(), "expected");
    }

    void copiesAreIndependent() {
        ExcelPropertyBag bag;
        QImage pic = noise(8, 8, QImage::Format_RGB32, 5);
        QByteArray a, b;
        bag.WriteP(a, pic);
        bag.WriteP(b, pic);
        pic.fill(Qt::white);
        a[30] = char(a[30] ^ 0x55);
        QCOMPARE(read(b), noise(8, 8, QImage::Format_RGB32, 5));
    }

    void badBytesFailClearly_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray good;
        ExcelPropertyBag().WriteP(good, noise(10, 10, QImage::Format_RGB32, 6));
        const auto with = [&good](int at, quint32 value) {
            QByteArray b = good;
            qToLittleEndian<quint32>(value, b.data() + at);
            return b;
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short header") << good.left(12);
        QTest::newRow("truncated pixels") << good.left(good.size() - 1);
        QTest::newRow("extra bytes") << good + QByteArray(4, '\0');
        QTest::newRow("wrong magic") << QByteArray("X" + good.mid(1));
        QTest::newRow("unknown version") << with(8, 2);
        QTest::newRow("wrong width") << with(12, 11);
        QTest::newRow("unsupported format") << with(20, quint32(QImage::Format_Indexed8));
        QTest::newRow("format out of range") << with(20, 0xFFFFFFF0u);
        QByteArray huge = good.left(24);
        qToLittleEndian<quint32>(60000, huge.data() + 12);
        qToLittleEndian<quint32>(60000, huge.data() + 16);
        QTest::newRow("huge size, no pixels") << huge;
        QByteArray above = good.left(24);
        qToLittleEndian<quint32>(65536, above.data() + 12);
        qToLittleEndian<quint32>(0, above.data() + 16);
        QTest::newRow("one past the largest side") << above;
        QByteArray noWidth = good.left(24);
        qToLittleEndian<quint32>(0, noWidth.data() + 12);
        QTest::newRow("width 0, height 10") << noWidth;
    }
    void badBytesFailClearly() {
        QFETCH(QByteArray, bytes);
        const Result<QImage> r = ExcelPropertyBag().ReadP(bytes);
        QVERIFY(!r.ok());
        QCOMPARE(r.failure().number, 481);
        QVERIFY(r.failure().description.contains(QLatin1String("snapshot")));
    }

    void largestSideIsAccepted() {
        QByteArray bytes;
        ExcelPropertyBag().WriteP(bytes, noise(65535, 1, QImage::Format_RGB32, 8));
        QCOMPARE(read(bytes).width(), 65535);
    }
};

QTEST_GUILESS_MAIN(TestBag)
#include "tst_bag.moc"
