// The system clipboard as the program fills it: a PNG another program can read (made by the
// fast writer, so exact), Qt's other image formats beside it, and the picture read back.
#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

class tst_QtClipboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void offersTheAreaAsPngAndAsPicture() {
        QImage area(123, 45, QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                area.setPixel(x, y, qRgb(x * 2, y * 5, (x * y) % 256));
        QtClipboard clipboard;
        clipboard.setImage(area);

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->formats().value(0), QStringLiteral("image/png"));
        QVERIFY(data->hasImage()); // Qt offers its other image formats from this
        const QByteArray png = data->data(QStringLiteral("image/png"));
        QImage decoded;
        QVERIFY(decoded.loadFromData(png, "PNG"));
        QCOMPARE(decoded.convertToFormat(QImage::Format_RGB32), area);

        QCOMPARE(clipboard.image().convertToFormat(QImage::Format_RGB32), area);
        clipboard.clear();
        QVERIFY(clipboard.image().isNull());
    }

    void replacingEmptiesWhatWasThere() {
        QtClipboard clipboard;
        QGuiApplication::clipboard()->setText(QStringLiteral("old text"));
        QImage area(4, 3, QImage::Format_RGB32);
        area.fill(Qt::blue);
        clipboard.setImage(area);
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        QCOMPARE(clipboard.image().convertToFormat(QImage::Format_RGB32), area);
    }
};

QTEST_MAIN(tst_QtClipboard)
#include "tst_QtClipboard.moc"
