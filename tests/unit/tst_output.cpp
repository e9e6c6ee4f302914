// Writing pictures out: the save command, a failing disk, the PNG and GIF encoders, the
// snapshot codec, the arrow head.
#include "Fakes.h"
#include "output/ExcelPropertyBag.h"
#include "output/GifWriter.h"
#include "output/ModSavePic.h"
#include "output/PictureEncoder.h"
#include "output/PngWriter.h"
#include "output/SafeFileWrite.h"
#include "output/SaveFolder.h"
#include "style/Arrow.h"

#include <QtGui>
#include <QtTest>
#include <sys/stat.h>

namespace {
// Tiles of a given number of colours, white and near-white first (a 5-bit palette would merge
// or shift them); alpha varying when asked.
QImage picture(int w = 97, int h = 61, int colours = 120, bool alpha = false) {
    QImage img(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator rng(7);
    QList<QRgb> palette{qRgb(255, 255, 255), qRgb(252, 252, 252), qRgb(0, 0, 0), qRgb(1, 2, 3)};
    while (palette.size() < colours)
        palette << (rng.generate() | 0xff000000);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         palette[(x / 3 + y * 7) % colours] & ~(alpha ? (x + y) % 256u << 24 : 0u));
    return img;
}
QImage decode(const QByteArray& bytes) {
    return QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
}
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}
void writeFile(const QString& path, const QByteArray& bytes, int mode = 0644) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
}
const QByteArray kOld("the user's old file");
} // namespace

class tst_output : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QStringList files() { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void initTestCase() { ::umask(022); }
    void init() {
        QDir(dir_.path()).removeRecursively();
        QVERIFY(QDir().mkpath(dir_.path()));
    }

    // Rows: name, picture, the format read back or the error number shown. An old file
    // replaced keeps its mode, a new one gets 0644; a failure leaves every file as it was.
    void saveCommand_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QImage>("img");
        QTest::addColumn<QString>("result");
        QImage wide(70000, 2, QImage::Format_RGB32);
        wide.fill(Qt::red);
        for (const char* row :
             {"x.jpg jpeg", "old.Jpeg jpeg", "old.PNG png", "x.gif gif", "x.tif tiff",
              "old.TIFF tiff", "x.bmp bmp", "x.jpe 9", "x. 9", "no/such/x.png 75", "sub.gif 75"})
            QTest::newRow(row) << QString(row).section(' ', 0, 0) << picture()
                               << QString(row).section(' ', 1);
        QTest::newRow("jpeg too wide") << "old.jpg" << wide << "481";
        QTest::newRow("gif too wide") << "old.gif" << wide << "481";
        QTest::newRow("no picture") << "old.png" << QImage() << "481";
    }
    void saveCommand() {
        QFETCH(QString, name);
        QFETCH(QImage, img);
        QFETCH(QString, result);
        for (const char* old : {"old.Jpeg", "old.PNG", "old.TIFF", "old.jpg", "old.gif", "old.png"})
            writeFile(dir_.filePath(old), kOld, 0640);
        QVERIFY(QDir(dir_.path()).mkdir("sub.gif"));
        const QStringList before = files();
        const QString path = dir_.filePath(name);
        const int number = result.toInt();
        FakePointer pointer;
        FakeMessageBox box;
        QCOMPARE(
            ModSavePic::SavePic(img, path, name.section('.', -1), 80, 24, 6, pointer, box).ok(),
            !number);
        QCOMPARE(pointer.history, (std::vector<int>{11, 0})); // the hourglass, then the default
        QCOMPARE(box.shown.size(), size_t(number ? 1 : 0));
        QCOMPARE(files().size(), before.size() + (number || before.contains(name) ? 0 : 1));
        if (number) {
            QVERIFY2(box.shown[0].text.contains(QStringLiteral("错误号: %1\r\n").arg(number)),
                     qPrintable(box.shown[0].text));
            for (const QString& f : before)
                QCOMPARE(readAll(dir_.filePath(f)), kOld);
            QVERIFY(QDir(dir_.filePath("sub.gif")).isEmpty());
            return;
        }
        QImageReader reader(path);
        QCOMPARE(reader.format(), result.toLatin1());
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        QVERIFY(result == "jpeg" ? back.size() == picture().size() : back == picture());
        struct stat st {};
        QVERIFY(::stat(qPrintable(path), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), before.contains(name) ? 0640 : 0644);
        QByteArray expected; // JPEG at quality 80
        QBuffer buffer(&expected);
        QImageWriter w(&buffer, "jpeg");
        w.setQuality(80);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && w.write(picture()));
        QVERIFY(result != "jpeg" || readAll(path) == expected);
        const qint64 size = QFileInfo(path).size(), pixels = 97 * 61 * 3; // TIFF: uncompressed
        QVERIFY2(result != "tiff" || (size >= pixels && size < pixels + 2000),
                 qPrintable(QString::number(size)));
    }

    // A disk that fails at a chosen point under each format: a clear error (0: saved in the
    // end), the old file byte for byte.
    void aFailingDiskKeepsTheOldFile_data() {
        QTest::addColumn<QStringList>("row"); // fault, format, error number
        for (const char* row : {"short jpg 0", "full png 61", "zero gif 61", "eintr bmp 0",
                                "fsync tif 75", "close png 61"})
            QTest::newRow(row) << QString(row).split(' ');
    }
    void aFailingDiskKeepsTheOldFile() {
        QFETCH(QStringList, row);
        const QString fault = row[0], path = dir_.filePath("old." + row[1]);
        const int number = row[2].toInt();
        writeFile(path, kOld);
        const Result<QByteArray> bytes = encodePicture(picture(), row[1], 80, 24, 6);
        QVERIFY(bytes.ok() && bytes.value().size() > 200);
        SafeFileWrite::Calls calls = SafeFileWrite::Calls::system();
        qsizetype written = 0;
        bool interrupted = false;
        calls.write = [&](int fd, const void* data, size_t size) -> ssize_t {
            if (fault == "eintr" && written == 14 && !std::exchange(interrupted, true))
                return errno = EINTR, -1;
            if ((fault == "full" || fault == "zero") && written >= 100)
                return fault == "zero" ? 0 : (errno = ENOSPC, -1);
            const ssize_t n = ::write(fd, data, std::min<size_t>(size, 7));
            written += n;
            return n;
        };
        if (fault == "fsync")
            calls.fsync = [](int) { return errno = EIO, -1; };
        if (fault == "close")
            calls.close = [](int fd) { return ::close(fd), errno = ENOSPC, -1; };
        const Status status = SafeFileWrite::write(path, bytes.value(), calls);
        QCOMPARE(status.ok() ? 0 : status.failure().number, number);
        if (number == 61)
            QVERIFY(status.failure().description.startsWith(QStringLiteral("磁盘已满")));
        QCOMPARE(readAll(path), number ? kOld : bytes.value());
        QCOMPARE(files(), QStringList{"old." + row[1]});
    }

    void encodersKeepThePixels() {
        for (const QImage& src : {picture(1, 1), picture(301, 1), picture(1, 257),
                                  picture(640, 400, 5000), picture(123, 77, 5000, true),
                                  picture(50, 40, 5000).convertToFormat(QImage::Format_RGB16)}) {
            const QImage back = QImage::fromData(PngWriter::encode(src), "PNG");
            QCOMPARE(back.hasAlphaChannel(), src.hasAlphaChannel());
            const auto f = src.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
            QCOMPARE(back.convertToFormat(f), src.convertToFormat(f));
        }
        for (int colours : {2, 79, 256})
            QCOMPARE(decode(GifWriter::encode(picture(97, 61, colours)).value()),
                     picture(97, 61, colours));
        // Many colours: a large flat area dominates the mean of its entry (white stays
        // white, where a 5-bit palette gives #f8f8f8).
        QImage src = picture(320, 240, 5000);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 320; ++x)
                src.setPixel(x, y, y < 60 ? qRgb(255, 255, 255) : qRgb(13, 101, 203));
        const QImage back = decode(GifWriter::encode(src).value());
        QCOMPARE(back.pixel(5, 5), qRgb(255, 255, 255));
        const QRgb flat = back.pixel(5, 100);
        QVERIFY(std::abs(qRed(flat) - 13) + std::abs(qGreen(flat) - 101) +
                    std::abs(qBlue(flat) - 203) <=
                4);
        QVERIFY(PngWriter::encode(QImage()).isEmpty() && !GifWriter::encode(QImage()).ok());
        QVERIFY(GifWriter::encode(picture(65535, 1, 70000)).ok()); // the largest side a GIF holds
    }

    // Saves start in Pictures, or at home when there is none; never among the programs.
    void saveStartFolder() {
        const QString pictures = dir_.filePath("Pictures");
        QCOMPARE(::saveStartFolder(pictures, "/home/u"), QStringLiteral("/home/u"));
        QVERIFY(QDir().mkpath(pictures));
        QCOMPARE(::saveStartFolder(pictures, "/home/u"), pictures);
        QCOMPARE(::saveStartFolder({}, "/home/u"), QStringLiteral("/home/u"));
    }

    void snapshotRoundTrip() {
        const QImage rgb888 = picture(5, 4).convertToFormat(QImage::Format_RGB888);
        for (const auto& [pic, expected] : QList<std::pair<QImage, QImage>>{
                 {picture(37, 23, 5000), picture(37, 23, 5000)},
                 {picture(16, 9, 200, true), picture(16, 9, 200, true)},
                 {QImage(), QImage()},
                 {rgb888, rgb888.convertToFormat(QImage::Format_RGB32)},
                 {picture(65535, 1, 70000), picture(65535, 1, 70000)}}) { // the largest side
            QByteArray bytes = "old contents";
            ExcelPropertyBag().WriteP(bytes, pic);
            const Result<QImage> back = ExcelPropertyBag().ReadP(bytes);
            QVERIFY(back.ok());
            QCOMPARE(back.value(), expected);
        }
    }

    // Bytes that are not a snapshot: a clear error, never a crash or a huge allocation.
    void snapshotBadBytes() {
        QByteArray good, version;
        ExcelPropertyBag().WriteP(good, picture(10, 10));
        qToLittleEndian<quint32>(2, (version = good).data() + 8);
        const auto with = [](QByteArray b, quint32 w, quint32 h, quint32 format = 4) {
            qToLittleEndian<quint32>(w, b.data() + 12);
            qToLittleEndian<quint32>(h, b.data() + 16);
            qToLittleEndian<quint32>(format, b.data() + 20);
            return b;
        };
        for (const QByteArray& bytes :
             {QByteArray(), good.left(12), good.left(good.size() - 1), good + QByteArray(4, '\0'),
              "X" + good.mid(1), version, with(good, 11, 10),
              with(good, 10, 10, QImage::Format_Indexed8), with(good, 10, 10, 0xFFFFFFF0u),
              with(good.left(24), 60000, 60000), with(good.left(24), 0, 10),
              with(good.left(24) + QByteArray(65536 * 4, '\0'), 65536, 1)}) { // one past the side
            const Result<QImage> r = ExcelPropertyBag().ReadP(bytes);
            QVERIFY2(!r.ok(), bytes.left(24).toHex().constData());
            QCOMPARE(r.failure().number, 481);
            QVERIFY(r.failure().description.contains(QLatin1String("snapshot")));
        }
    }

    // Barb A, barb B, the shaft, each ending on the tip in the colour; the head keeps its
    // size on a short shaft; nothing when tail = tip. Rows: tail, tip, size > barb A, barb B.
    void arrowHead() {
        for (const QString row : {"0 0 0 100 10 > -5 90 5 90", "300 40 200 40 10 > 210 35 210 45",
                                  "10 10 10 -90 20 > 20 -70 0 -70", "0 0 30 40 10 > 20 35 28 29",
                                  "0 0 3 0 10 > -7 5 -7 -5", "42.5 17.25 42.5 17.25 10 >"}) {
            QList<float> v;
            for (const QString& n : QString(row).remove('>').split(' ', Qt::SkipEmptyParts))
                v << n.toFloat();
            struct Surface {
                QList<float> lines;
                void Line(float x1, float y1, float x2, float y2, kivo::Colour c) {
                    lines << x1 << y1 << x2 << y2 << float(c == kivo::rgb(1, 2, 3));
                }
            } s;
            drawArrow(s, v[0], v[1], v[2], v[3], v[4], kivo::rgb(1, 2, 3));
            const QList<float> tip{v[2], v[3], 1};
            QList<float> expected;
            if (v.size() > 5)
                expected << v[5] << v[6] << tip << v[7] << v[8] << tip << v[0] << v[1] << tip;
            QCOMPARE(s.lines, expected);
        }
    }
};

QTEST_MAIN(tst_output)
#include "tst_output.moc"
