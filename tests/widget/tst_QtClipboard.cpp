// The system clipboard as the program fills it: the PNG bytes exactly as given, a picture
// decoded from them for every other format, and the old contents gone.
#include "platform/QtClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

class tst_QtClipboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offersThePngAndThePicture() {
        QImage area(123, 45, QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                area.setPixel(x, y, qRgb(x * 2, y * 5, (x * y) % 256));
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && area.save(&buffer, "PNG"));
        QGuiApplication::clipboard()->setText(QStringLiteral("old text"));

        QtClipboard clipboard;
        clipboard.setPng(png);
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->data(QStringLiteral("image/png")), png);
        QVERIFY(data->hasImage()); // Qt makes its other picture formats from this
        QCOMPARE(clipboard.image().convertToFormat(QImage::Format_RGB32), area);
        clipboard.clear();
        QVERIFY(clipboard.image().isNull());
    }
};

QTEST_MAIN(tst_QtClipboard)
#include "tst_QtClipboard.moc"
