// Writing pictures out: the save command per format and its errors, a file never lost on a
// failing disk, the PNG and GIF encoders, the snapshot codec, the arrow head, the read-out.
#include "Fakes.h"
#include "form/FloatText.h"
#include "output/ExcelPropertyBag.h"
#include "output/GifWriter.h"
#include "output/ModSavePic.h"
#include "output/PictureEncoder.h"
#include "output/PngWriter.h"
#include "output/SafeFileWrite.h"
#include "style/Arrow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sys/stat.h>

namespace {
// A screen-like picture of 120 colours, few enough for a GIF to keep exactly.
QImage picture() {
    QImage img(97, 61, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x / 8) * 23 % 256, (y / 6) * 25 % 256, x < 50 ? 255 : 3));
    return img;
}
// Flat areas, gradients and noise; alpha varying when asked.
QImage noisy(int w, int h, bool alpha = false, quint32 seed = 42) {
    QImage img(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c = (x / 16 + y / 16) % 3 == 0 ? qRgb(x % 256, y % 256, (x * y) % 256)
                                                : qRgb(30, 60, 90);
            if (rng.bounded(8) == 0)
                c = rng.generate() | 0xff000000;
            img.setPixel(x, y, alpha ? qRgba(qRed(c), qGreen(c), qBlue(c), (x + y) % 256) : c);
        }
    return img;
}
// White and near-white neighbours first: a 5-bit palette would merge or shift them.
QImage fewColours(int colours) {
    QImage img(300, 200, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    QList<QRgb> palette{qRgb(255, 255, 255), qRgb(252, 252, 252), qRgb(0, 0, 0), qRgb(1, 2, 3)};
    while (palette.size() < colours)
        palette << (rng.generate() | 0xff000000);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, palette[(x / 3 + y * 7) % colours]);
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
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
}
int fileMode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}
const QByteArray kOld("the user's old file");
} // namespace

class tst_output : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    FakePointer pointer_;
    FakeMessageBox box_;

    bool save(const QImage& img, const QString& name, const QString& ext) {
        pointer_.history.clear();
        box_.shown.clear();
        const bool ok =
            ModSavePic::SavePic(img, dir_.filePath(name), ext, 80, 24, 6, pointer_, box_).ok();
        // The hourglass while saving, the default pointer again on every path.
        [&] { QCOMPARE(pointer_.history, (std::vector<int>{11, 0})); }();
        return ok;
    }
    QStringList files() { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void init() {
        QDir(dir_.path()).removeRecursively();
        QVERIFY(QDir().mkpath(dir_.path()));
    }

    // A new file is readable by others under umask 022; a replaced one keeps its mode.
    void savesTheFormatTheExtensionNames_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("replace");
        const QList<std::pair<const char*, const char*>> rows{
            {"jpg", "jpeg"}, {"Jpeg", "jpeg"}, {"PNG", "png"},   {"gif", "gif"},
            {"GIF", "gif"},  {"tif", "tiff"},  {"TIFF", "tiff"}, {"bmp", "bmp"}};
        for (const auto& [ext, format] : rows)
            for (bool replace : {false, true})
                QTest::addRow("%s%s", ext, replace ? ", replacing" : "")
                    << QString(ext) << QByteArray(format) << replace;
    }
    void savesTheFormatTheExtensionNames() {
        QFETCH(QString, ext);
        QFETCH(QByteArray, format);
        QFETCH(bool, replace);
        const QString name = "shot." + ext, path = dir_.filePath(name);
        if (replace)
            writeFile(path, kOld, 0640);
        QVERIFY(save(picture(), name, ext));
        QVERIFY(box_.shown.empty());
        QImageReader reader(path);
        QCOMPARE(reader.format(), format);
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back.size(), picture().size());
        if (format != "jpeg")
            QCOMPARE(back, picture()); // lossless formats, and a GIF of few colours
        QCOMPARE(files(), QStringList{name});
        QCOMPARE(fileMode(path), replace ? 0640 : 0644);
        if (format == "jpeg") { // quality 80
            QByteArray expected;
            QBuffer buffer(&expected);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QImageWriter w(&buffer, "jpeg");
            w.setQuality(80);
            QVERIFY(w.write(picture()));
            QCOMPARE(readAll(path), expected);
        }
        if (format == "tiff") { // uncompressed 24-bit RGB
            const qint64 size = QFileInfo(path).size(), pixels = 97 * 61 * 3;
            QVERIFY2(size >= pixels && size < pixels + 2000, qPrintable(QString::number(size)));
        }
    }

    // A clear error with its number; nothing left behind, an existing file kept.
    void failuresKeepEveryFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QImage>("img");
        QTest::addColumn<int>("number");
        QImage wide(70000, 2, QImage::Format_RGB32);
        wide.fill(Qt::red);
        for (const char* ext : {"jpe", "tiff2", "", "txt", "png "})
            QTest::addRow("extension '%s'", ext) << QString("x.") + ext << picture() << 9;
        QTest::newRow("missing folder") << "no/such/x.png" << picture() << 75;
        QTest::newRow("a file as folder") << "old.bmp/x.bmp" << picture() << 75;
        QTest::newRow("a folder at the path") << "sub.gif" << picture() << 75;
        QTest::newRow("jpeg too wide") << "old.jpg" << wide << 481;
        QTest::newRow("gif too wide") << "old.gif" << wide << 481;
        QTest::newRow("no picture") << "old.png" << QImage() << 481;
    }
    void failuresKeepEveryFile() {
        QFETCH(QString, name);
        QFETCH(QImage, img);
        QFETCH(int, number);
        for (const char* old : {"old.bmp", "old.jpg", "old.gif", "old.png"})
            writeFile(dir_.filePath(old), kOld);
        QVERIFY(QDir(dir_.path()).mkdir("sub.gif"));
        const QStringList before = files();
        QVERIFY(!save(img, name, name.section('.', -1)));
        const QString expected =
            QStringLiteral("在保存图片的过程中发生错误:\r\n\r\n错误号: %1\r\n错误描述: ")
                .arg(number) +
            (number == 9 ? "下标越界" : "");
        QCOMPARE(box_.shown.size(), size_t(1));
        QVERIFY2(box_.shown[0].text.startsWith(expected), qPrintable(box_.shown[0].text));
        QCOMPARE(box_.shown[0].title, QStringLiteral("错误"));
        QCOMPARE(int(box_.shown[0].icon), 64);
        QCOMPARE(files(), before);
        for (const QString& f : before)
            QCOMPARE(readAll(dir_.filePath(f)), kOld);
        QVERIFY(QDir(dir_.filePath("sub.gif")).isEmpty());
    }

    // A disk that fails at a chosen point: a clear error, the old file byte for byte.
    void aFailingDiskKeepsTheOldFile_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number"); // 0: saved in the end
        QTest::newRow("short writes") << "short" << 0;
        QTest::newRow("full at byte 100") << "full" << 61;
        QTest::newRow("takes no more") << "zero" << 61;
        QTest::newRow("interrupted once") << "eintr" << 0;
        QTest::newRow("flush to disk fails") << "fsync" << 75;
        QTest::newRow("full on close") << "close" << 61;
    }
    void aFailingDiskKeepsTheOldFile() {
        QFETCH(QString, fault);
        QFETCH(int, number);
        const QString path = dir_.filePath("old.png");
        writeFile(path, kOld);
        const Result<QByteArray> bytes = encodePicture(picture(), "png", 80, 24, 6);
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
        QCOMPARE(files(), QStringList{"old.png"});
    }

    void pngDecodesToTheSamePixels_data() {
        QTest::addColumn<QImage>("src");
        QTest::newRow("one pixel") << noisy(1, 1);
        QTest::newRow("one row") << noisy(301, 1);
        QTest::newRow("one column") << noisy(1, 257);
        QTest::newRow("screen-like") << noisy(640, 400);
        QTest::newRow("with alpha") << noisy(123, 77, true);
        QTest::newRow("16-bit") << noisy(50, 40).convertToFormat(QImage::Format_RGB16);
    }
    void pngDecodesToTheSamePixels() {
        QFETCH(QImage, src);
        const QByteArray png = PngWriter::encode(src);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        const QImage back = QImage::fromData(png, "PNG");
        QCOMPARE(back.hasAlphaChannel(), src.hasAlphaChannel());
        const auto f = src.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        QCOMPARE(back.convertToFormat(f), src.convertToFormat(f));
    }

    void gifPalettes() {
        for (int colours : {2, 79, 256})
            QCOMPARE(decode(GifWriter::encode(fewColours(colours)).value()), fewColours(colours));
        // Many colours: a large flat area dominates the mean of its entry (white stays
        // white, a 5-bit palette gives #f8f8f8); the rest is off by a little on average.
        QImage src = noisy(320, 240);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 320; ++x)
                src.setPixel(x, y, y < 60 ? qRgb(255, 255, 255) : qRgb(13, 101, 203));
        const QImage back = decode(GifWriter::encode(src).value());
        QCOMPARE(back.pixel(5, 5), qRgb(255, 255, 255));
        const QRgb flat = back.pixel(5, 100);
        QVERIFY(std::abs(qRed(flat) - 13) + std::abs(qGreen(flat) - 101) +
                    std::abs(qBlue(flat) - 203) <=
                4);
        double error = 0;
        for (int y = 120; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const QRgb a = src.pixel(x, y), b = back.pixel(x, y);
                error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                         std::abs(qBlue(a) - qBlue(b));
            }
        QVERIFY2(error / (120 * 320 * 3) < 20, qPrintable(QString::number(error)));
        QVERIFY(PngWriter::encode(QImage()).isEmpty() && !GifWriter::encode(QImage()).ok());
        QVERIFY(GifWriter::encode(noisy(65535, 1)).ok()); // the largest side a GIF holds
    }

    void snapshotRoundTrip() {
        const QImage rgb888 = noisy(5, 4).convertToFormat(QImage::Format_RGB888);
        const QList<std::pair<QImage, QImage>> cases{
            {noisy(37, 23), noisy(37, 23)},
            {noisy(16, 9, true, 2), noisy(16, 9, true, 2)},
            {noisy(300, 1), noisy(300, 1)},
            {QImage(), QImage()},
            {rgb888, rgb888.convertToFormat(QImage::Format_RGB32)},
            {noisy(65535, 1, false, 8), noisy(65535, 1, false, 8)}}; // the largest side
        for (const auto& [pic, expected] : cases) {
            QByteArray bytes = "old contents";
            ExcelPropertyBag().WriteP(bytes, pic);
            const Result<QImage> back = ExcelPropertyBag().ReadP(bytes);
            QVERIFY(back.ok());
            QCOMPARE(back.value(), expected);
        }
    }

    // Bytes that are not a snapshot: a clear error, never a crash or a huge allocation.
    void snapshotBadBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray good;
        ExcelPropertyBag().WriteP(good, noisy(10, 10));
        const auto with = [](QByteArray b, quint32 w, quint32 h, quint32 format = 4) {
            qToLittleEndian<quint32>(w, b.data() + 12);
            qToLittleEndian<quint32>(h, b.data() + 16);
            qToLittleEndian<quint32>(format, b.data() + 20);
            return b;
        };
        QByteArray version = good;
        qToLittleEndian<quint32>(2, version.data() + 8);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short header") << good.left(12);
        QTest::newRow("truncated pixels") << good.left(good.size() - 1);
        QTest::newRow("extra bytes") << good + QByteArray(4, '\0');
        QTest::newRow("wrong magic") << QByteArray("X" + good.mid(1));
        QTest::newRow("unknown version") << version;
        QTest::newRow("wrong width") << with(good, 11, 10);
        QTest::newRow("unsupported format") << with(good, 10, 10, QImage::Format_Indexed8);
        QTest::newRow("format out of range") << with(good, 10, 10, 0xFFFFFFF0u);
        QTest::newRow("huge size, no pixels") << with(good.left(24), 60000, 60000);
        QTest::newRow("width 0, height 10") << with(good.left(24), 0, 10);
        QTest::newRow("one past the largest side, all pixels there")
            << with(good.left(24) + QByteArray(65536 * 4, '\0'), 65536, 1);
    }
    void snapshotBadBytes() {
        QFETCH(QByteArray, bytes);
        const Result<QImage> r = ExcelPropertyBag().ReadP(bytes);
        QVERIFY(!r.ok());
        QCOMPARE(r.failure().number, 481);
        QVERIFY(r.failure().description.contains(QLatin1String("snapshot")));
    }

    // Barb A, barb B, then the shaft, all ending on the tip; the head keeps its size on a
    // shaft shorter than it; nothing for a tail on the tip. Rows: tail, tip, head size >
    // end of barb A, end of barb B.
    void arrowHead() {
        for (const QString row : {"0 0 100 0 10 > 90 5 90 -5", "0 0 0 100 10 > -5 90 5 90",
                                  "300 40 200 40 10 > 210 35 210 45",
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
            const QList<float> tip{v[2], v[3], 1}; // every stroke ends there, in the colour
            QList<float> expected;
            if (v.size() > 5)
                expected << v[5] << v[6] << tip << v[7] << v[8] << tip << v[0] << v[1] << tip;
            QCOMPARE(s.lines, expected);
        }
    }

    // The size read-out: a 32-bit float with at most 7 significant digits. Rows: the
    // float nearest to a number = its text.
    void floatText() {
        QLocale::setDefault(QLocale::c());
        for (const QString row :
             {"3840=3840", "-0=0", "-20=-20", "2.25=2.25", "97.3333333333=97.33334",
              "0.333333333333=0.3333333", "1234567=1234567", "12345678=1.234568E+07", "1e7=1E+07",
              "0.0001=0.0001", "0.00001=1E-05"})
            QCOMPARE(::floatText(row.section('=', 0, 0).toFloat()), row.section('=', 1));
    }
};

int main(int argc, char** argv) {
    ::umask(022);
    QGuiApplication app(argc, argv);
    tst_output t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_output.moc"
