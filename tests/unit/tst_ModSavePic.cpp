// Saving a picture: the format that the extension names, its settings, the error message,
// the pointer, and that a failure neither leaves a file nor harms an existing one.
#include "Fakes.h"
#include "output/ModSavePic.h"
#include "output/PictureEncoder.h"
#include "output/SafeFileWrite.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
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

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first quantisation table of a JPEG file, in natural (row by row) order.
QList<int> jpegLuminanceTable(const QByteArray& jpeg) {
    static const int zigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                   12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                   35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                   58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    const qsizetype at = jpeg.indexOf(QByteArray("\xff\xdb", 2));
    if (at < 0 || at + 5 + 64 > jpeg.size() || (uchar(jpeg[at + 4]) >> 4) != 0)
        return {};
    QList<int> table(64);
    for (int i = 0; i < 64; ++i)
        table[zigzag[i]] = uchar(jpeg[at + 5 + i]);
    return table;
}

// The luminance table a JPEG encoder uses at a quality (the reference scaling).
QList<int> expectedLuminanceTable(int quality) {
    static const int base[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                 58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                 22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                 77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                 103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    QList<int> table;
    for (int b : base)
        table << std::clamp((b * scale + 50) / 100, 1, 255);
    return table;
}

// TIFF tags of the first directory: tag -> values (little-endian files only).
QMap<int, QList<quint32>> tiffTags(const QByteArray& tiff) {
    QMap<int, QList<quint32>> tags;
    if (!tiff.startsWith("II*"))
        return tags;
    const auto* d = reinterpret_cast<const uchar*>(tiff.constData());
    const quint32 ifd = qFromLittleEndian<quint32>(d + 4);
    const int count = qFromLittleEndian<quint16>(d + ifd);
    for (int i = 0; i < count; ++i) {
        const uchar* e = d + ifd + 2 + 12 * i;
        const int tag = qFromLittleEndian<quint16>(e), type = qFromLittleEndian<quint16>(e + 2);
        const quint32 n = qFromLittleEndian<quint32>(e + 4);
        const int size = type == 3 ? 2 : 4;
        const uchar* v = size * n <= 4 ? e + 8 : d + qFromLittleEndian<quint32>(e + 8);
        for (quint32 k = 0; k < n && k < 16; ++k)
            tags[tag] << (size == 2 ? qFromLittleEndian<quint16>(v + 2 * k)
                                    : qFromLittleEndian<quint32>(v + 4 * k));
    }
    return tags;
}
} // namespace

class tst_ModSavePic : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    FakePointer pointer_;
    FakeMessageBox box_;

    bool save(const QImage& img, const QString& path, const QString& ext) {
        pointer_.history.clear();
        box_.shown.clear();
        return ModSavePic::SavePic(img, path, ext, 80, 24, 6, pointer_, box_).ok();
    }
    // The pointer showed the hourglass while saving and is back to the default.
    void checkPointer() {
        QCOMPARE(pointer_.history.size(), size_t(2));
        QCOMPARE(pointer_.history.front(), 11);
        QCOMPARE(pointer_.value(), 0);
    }
    QStringList leftovers() { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

private Q_SLOTS:
    void init() {
        QDir d(dir_.path());
        for (const QString& f : d.entryList(QDir::Files | QDir::Hidden))
            d.remove(f);
    }

    void writesTheFormatTheExtensionNames_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QByteArray>("format");
        for (const char* e : {"jpg", "JPG", "jpeg", "Jpeg"})
            QTest::newRow(e) << QString(e) << QByteArray("jpeg");
        for (const char* e : {"png", "PNG", "Png"})
            QTest::newRow(e) << QString(e) << QByteArray("png");
        for (const char* e : {"gif", "GIF"})
            QTest::newRow(e) << QString(e) << QByteArray("gif");
        for (const char* e : {"tiff", "TIFF", "tif"})
            QTest::newRow(e) << QString(e) << QByteArray("tiff");
        for (const char* e : {"bmp", "BMP"})
            QTest::newRow(e) << QString(e) << QByteArray("bmp");
    }
    void writesTheFormatTheExtensionNames() {
        QFETCH(QString, ext);
        QFETCH(QByteArray, format);
        const QString path = dir_.filePath("shot." + ext);
        const QImage src = picture();
        QVERIFY(save(src, path, ext));
        checkPointer();
        QVERIFY(box_.shown.empty());

        QImageReader reader(path);
        QCOMPARE(reader.format(), format);
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back.size(), src.size());
        if (format != "jpeg")
            QCOMPARE(back, src); // lossless formats, and the GIF of few colours
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"shot." + ext});
        // Created like any other file of the user's: readable by others under umask 022.
        QCOMPARE(QFile::permissions(path) & (QFile::ReadOther | QFile::WriteOther),
                 QFile::ReadOther);
    }

    void jpegHasQuality80() {
        const QString path = dir_.filePath("q.jpg");
        QVERIFY(save(picture(), path, "jpg"));
        QCOMPARE(jpegLuminanceTable(readAll(path)), expectedLuminanceTable(80));
    }

    void tiffIsUncompressed24Bit() {
        const QString path = dir_.filePath("t.tiff");
        QVERIFY(save(picture(), path, "TIFF"));
        const auto tags = tiffTags(readAll(path));
        QCOMPARE(tags.value(259), QList<quint32>{1});         // no compression
        QCOMPARE(tags.value(277), QList<quint32>{3});         // three samples: RGB
        QCOMPARE(tags.value(258), (QList<quint32>{8, 8, 8})); // 8 bits each
    }

    void otherExtensionsAreError9_data() {
        QTest::addColumn<QString>("ext");
        for (const char* e : {"jpe", "tiff2", "", "txt", "png ", "/tmp/noext"})
            QTest::newRow(e) << QString(e);
    }
    void otherExtensionsAreError9() {
        QFETCH(QString, ext);
        QVERIFY(!save(picture(), dir_.filePath("x." + ext), ext));
        checkPointer();
        QCOMPARE(box_.shown.size(), size_t(1));
        QCOMPARE(
            box_.shown[0].text,
            QStringLiteral("在保存图片的过程中发生错误:\r\n\r\n错误号: 9\r\n错误描述: 下标越界"));
        QCOMPARE(box_.shown[0].title, QStringLiteral("错误"));
        QCOMPARE(int(box_.shown[0].icon), 64);
        QVERIFY(leftovers().isEmpty());
    }

    void failuresAreReportedAndLeaveNoFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QImage>("img");
        QTest::addColumn<int>("number");
        for (const char* ext : {"jpg", "png", "gif", "tiff", "bmp"})
            QTest::newRow(qPrintable(QString("missing folder, %1").arg(ext)))
                << QString("no/such/folder/x.%1").arg(ext) << picture() << 75;
        // Too wide for a JPEG or a GIF.
        QTest::newRow("jpeg encoder")
            << QString("wide.jpg") << QImage(70000, 2, QImage::Format_RGB32) << 481;
        QTest::newRow("gif encoder")
            << QString("wide.gif") << QImage(70000, 2, QImage::Format_RGB32) << 481;
        QTest::newRow("no picture") << QString("none.png") << QImage() << 481;
    }
    void failuresAreReportedAndLeaveNoFile() {
        QFETCH(QString, name);
        QFETCH(QImage, img);
        QFETCH(int, number);
        if (!img.isNull())
            img.fill(Qt::gray);
        const QString path = dir_.filePath(name);
        QVERIFY(!save(img, path, name.section('.', -1)));
        checkPointer();
        QCOMPARE(box_.shown.size(), size_t(1));
        QVERIFY2(box_.shown[0].text.startsWith(
                     QStringLiteral("在保存图片的过程中发生错误:\r\n\r\n错误号: %1\r\n错误描述: ")
                         .arg(number)),
                 qPrintable(box_.shown[0].text));
        QCOMPARE(box_.shown[0].title, QStringLiteral("错误"));
        QVERIFY(!QFile::exists(path));
        QVERIFY(leftovers().isEmpty());
    }

    void unwritableFolderIsReported() {
        if (::geteuid() == 0)
            QSKIP("root writes anywhere");
        QDir(dir_.path()).mkdir("ro");
        const QString ro = dir_.filePath("ro");
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!save(picture(), ro + "/x.png", "png"));
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(box_.shown.size(), size_t(1));
        QVERIFY(QDir(ro).isEmpty());
    }

    void failureKeepsTheExistingFile() {
        const QString path = dir_.filePath("keep.jpg");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the user's old file");
        }
        QImage wide(70000, 2, QImage::Format_RGB32);
        wide.fill(Qt::red);
        QVERIFY(!save(wide, path, "jpg"));
        QCOMPARE(readAll(path), QByteArray("the user's old file"));
        QCOMPARE(leftovers(), QStringList{"keep.jpg"});
    }

    void aFailingDiskKeepsTheOldFile_data() {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        for (const char* ext : {"jpg", "png", "gif", "tiff", "bmp"}) {
            QTest::addRow("%s, full at byte 100", ext) << ext << "write" << 61;
            QTest::addRow("%s, flush to disk fails", ext) << ext << "fsync" << 75;
            QTest::addRow("%s, full on close", ext) << ext << "close" << 61;
        }
    }
    void aFailingDiskKeepsTheOldFile() {
        // Every file format's bytes through a disk that fails at a chosen point: a clear
        // error, the old file byte for byte, nothing left behind.
        QFETCH(QString, ext);
        QFETCH(QString, fault);
        const QString path = dir_.filePath("old." + ext);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the user's old file");
        }
        const Result<QByteArray> bytes = encodePicture(picture(), ext, 80, 24, 6);
        QVERIFY(bytes.ok() && bytes.value().size() > 200);
        SafeFileWrite::Calls calls = SafeFileWrite::Calls::system();
        qsizetype written = 0;
        if (fault == "write")
            calls.write = [&written](int fd, const void* data, size_t size) -> ssize_t {
                // Short writes up to byte 100, then the disk is full.
                const size_t room = size_t(std::max<qsizetype>(0, 100 - written));
                if (room == 0)
                    return errno = ENOSPC, -1;
                const ssize_t n =
                    ::write(fd, data, std::min<size_t>(size, std::min<size_t>(room, 7)));
                written += n;
                return n;
            };
        if (fault == "fsync")
            calls.fsync = [](int) { return errno = EIO, -1; };
        if (fault == "close")
            calls.close = [](int fd) { return ::close(fd), errno = ENOSPC, -1; };
        const Status status = SafeFileWrite::write(path, bytes.value(), calls);
        QVERIFY(!status.ok());
        QTEST(status.failure().number, "number");
        if (status.failure().number == 61)
            QVERIFY(status.failure().description.startsWith(QStringLiteral("磁盘已满")));
        QCOMPARE(readAll(path), QByteArray("the user's old file"));
        QCOMPARE(leftovers(), QStringList{"old." + ext});
    }

    void replacesAnExistingFileWithoutAsking() {
        const QString path = dir_.filePath("old.bmp");
        QFile::remove(path);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        QVERIFY(save(picture(), path, "bmp"));
        QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), picture());
    }
};

int main(int argc, char** argv) {
    ::umask(022);
    QGuiApplication app(argc, argv);
    tst_ModSavePic t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_ModSavePic.moc"
