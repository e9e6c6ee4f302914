// The two drawing layers: what persistent and transient drawing change, what Cls takes
// back, and which rectangles each operation reports for repainting.
#include "form/Basics.h"
#include "form/Canvas.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {
QImage checker(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, ((x + y) % 2) ? qRgb(10, 20, 30) : qRgb(200, 210, 220));
    return img;
}

Canvas::Painter fill(const QRect& r, QRgb c) {
    return [r, c](QPainter& p) { p.fillRect(r, QColor(c)); };
}
} // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingThePictureSharesItsPixels() {
        Canvas c;
        const QImage pic = checker(64, 48);
        c.setPicture(pic);
        QCOMPARE(c.Image().constBits(), pic.constBits());
        QCOMPARE(c.Picture().constBits(), pic.constBits());
    }

    void persistentDrawingChangesImageNotPicture() {
        Canvas c;
        const QImage pic = checker(64, 48);
        c.setPicture(pic);
        c.draw(QRect(10, 10, 5, 5), fill(QRect(10, 10, 5, 5), qRgb(255, 0, 0)));
        QCOMPARE(c.Image().pixel(12, 12), qRgb(255, 0, 0));
        QCOMPARE(c.Picture(), pic);
        // The picture the canvas was given is never written through.
        QCOMPARE(pic.pixel(12, 12), checker(64, 48).pixel(12, 12));
        QCOMPARE(c.pixel(12, 12), kivo::rgb(255, 0, 0));
    }

    void clsTakesBackEverythingSinceThePictureWasSet() {
        Canvas c;
        const QImage pic = checker(64, 48);
        c.setPicture(pic);
        c.draw(QRect(0, 0, 8, 8), fill(QRect(0, 0, 8, 8), qRgb(1, 2, 3)));
        c.draw(QRect(40, 30, 8, 8), fill(QRect(40, 30, 8, 8), qRgb(4, 5, 6)));
        c.setAutoRedraw(false);
        c.draw(QRect(20, 20, 4, 4), fill(QRect(20, 20, 4, 4), qRgb(7, 8, 9)));
        QSignalSpy changed(&c, &Canvas::changed);
        c.Cls();
        QCOMPARE(c.Image(), pic);
        QCOMPARE(changed.count(), 1);
        const QRect touched = changed.at(0).at(0).toRect();
        QVERIFY(touched.contains(QRect(0, 0, 8, 8)));
        QVERIFY(touched.contains(QRect(40, 30, 8, 8)));
        QVERIFY(touched.contains(QRect(20, 20, 4, 4)));
    }

    void committedDrawingSurvivesCls() {
        Canvas c;
        c.setPicture(checker(32, 32));
        c.draw(QRect(3, 3, 2, 2), fill(QRect(3, 3, 2, 2), qRgb(9, 9, 9)));
        c.commitImage();
        c.Cls();
        QCOMPARE(c.Image().pixel(3, 3), qRgb(9, 9, 9));
        QCOMPARE(c.Picture().pixel(4, 4), qRgb(9, 9, 9));
    }

    void transientDrawingStaysOutOfImage() {
        Canvas c;
        const QImage pic = checker(32, 32);
        c.setPicture(pic);
        c.setAutoRedraw(false);
        QSignalSpy changed(&c, &Canvas::changed);
        c.draw(QRect(5, 6, 3, 3), fill(QRect(5, 6, 3, 3), qRgb(250, 0, 250)));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toRect(), QRect(5, 6, 3, 3));
        QCOMPARE(c.Image(), pic);
        // What the window shows includes it, and so does the pixel read-back.
        QCOMPARE(c.pixel(6, 7), kivo::rgb(250, 0, 250));
        QImage shown(32, 32, QImage::Format_RGB32);
        QPainter p(&shown);
        c.paint(p, shown.rect());
        p.end();
        QCOMPARE(shown.pixel(6, 7), qRgb(250, 0, 250));
        QCOMPARE(shown.pixel(0, 0), pic.pixel(0, 0));
        c.Cls();
        QCOMPARE(c.pixel(6, 7), kivo::fromQRgb(pic.pixel(6, 7)));
    }

    void drawingReportsOnlyItsBounds() {
        Canvas c;
        c.setPicture(checker(100, 100));
        QSignalSpy changed(&c, &Canvas::changed);
        c.draw(QRect(90, 90, 20, 20), fill(QRect(90, 90, 20, 20), qRgb(0, 0, 0)));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toRect(), QRect(90, 90, 10, 10));
    }

    void pixelOutsideIsMinusOne() {
        Canvas c;
        c.setPicture(checker(10, 10));
        QCOMPARE(c.pixel(-1, 0), -1);
        QCOMPARE(c.pixel(10, 5), -1);
    }

    void keptAsidePixelsAreThePictures() {
        Canvas c;
        const QImage pic = checker(50, 50);
        c.setPicture(pic);
        c.draw(QRect(10, 10, 10, 10), fill(QRect(10, 10, 10, 10), qRgb(1, 1, 1)));
        c.draw(QRect(15, 15, 10, 10), fill(QRect(15, 15, 10, 10), qRgb(2, 2, 2)));
        QCOMPARE(c.backupRect(), QRect(10, 10, 15, 15));
        QCOMPARE(c.backupPixels(), pic.copy(QRect(10, 10, 15, 15)));
    }
};

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
