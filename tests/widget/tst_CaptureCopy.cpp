// The area grab and the double-click copy: exactly the selected part of what the window
// shows goes on the clipboard, and only a double-click that began inside a kept selection
// copies. The save command: what it asks, which format it writes, what stays on the
// clipboard.
#include "CaptureHarness.h"
#include "output/SaveFolder.h"

#include "toolbar/ToolbarStrip.h"
#include <QImageReader>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {
QImage screenCrop(const QRect& r) {
    return FakeScreen::pattern(QSize(1920, 1080)).copy(r);
}
} // namespace

class tst_CaptureCopy : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void doubleClickCopiesExactlyTheSelection_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPoint>("click");
        // Dragged down-right, up-left; clicks on the left edge (inclusive) and just inside
        // the right one (away from the handles, which take their own clicks).
        QTest::newRow("down-right") << QPoint(100, 50) << QPoint(400, 250) << QPoint(200, 150);
        QTest::newRow("up-left") << QPoint(400, 250) << QPoint(100, 50) << QPoint(100, 80);
        QTest::newRow("small") << QPoint(10, 20) << QPoint(60, 45) << QPoint(59, 25);
    }
    void doubleClickCopiesExactlyTheSelection() {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QPoint, click);
        CaptureHarness h;
        h.select(from, to);
        QCOMPARE(h.w->sState, kivo::kStateMove);
        const QRect sel(std::min(from.x(), to.x()), std::min(from.y(), to.y()),
                        std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
        h.doubleClick(click.x(), click.y());
        QCOMPARE(h.fakes.clipboard.sets, 1);
        const QImage copied = h.fakes.clipboard.image();
        // Pixel (0, 0) is screen pixel (Left, Top); no frame, read-out or handle in it.
        QCOMPARE(copied.size(), sel.size());
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB32), screenCrop(sel));
        QVERIFY(!h.w || h.w->isUnloaded());
    }

    void doubleClickThatDoesNotCopy_data() {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("no selection") << false << QPoint(200, 150) << Qt::LeftButton;
        QTest::newRow("left of it") << true << QPoint(99, 150) << Qt::LeftButton;
        QTest::newRow("right edge (exclusive)") << true << QPoint(400, 150) << Qt::LeftButton;
        QTest::newRow("bottom edge (exclusive)") << true << QPoint(200, 250) << Qt::LeftButton;
        QTest::newRow("right button discards it") << true << QPoint(200, 150) << Qt::RightButton;
    }
    void doubleClickThatDoesNotCopy() {
        QFETCH(bool, select);
        QFETCH(QPoint, click);
        QFETCH(Qt::MouseButton, button);
        CaptureHarness h;
        if (select)
            h.select(QPoint(100, 50), QPoint(400, 250));
        h.doubleClick(click.x(), click.y(), button);
        QCOMPARE(h.fakes.clipboard.sets, 0);
        if (button == Qt::LeftButton)
            QVERIFY(h.w && !h.w->isUnloaded());
    }

    void copyHoldsThePictureOnly() {
        // Near the bottom the strip and the style panel stand inside the selection. A
        // rectangle is drawn, and text is still being typed when the copy button is clicked:
        // the copy holds the rectangle and the text as its commit draws it, and no panel,
        // box or frame.
        const auto annotate = [](CaptureHarness& h) {
            h.select(QPoint(100, 700), QPoint(700, 1079));
            Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonRectangle);
            h.drag(QPoint(150, 720), QPoint(170, 730));
            Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonText);
            h.press(250, 900);
            h.release(250, 900);
            QTest::keyClicks(h.w->textEditWidget(), QStringLiteral("Ab"));
        };
        CaptureHarness committed;
        annotate(committed);
        committed.press(120, 720); // a release commits the text
        committed.release(120, 720);
        const QImage expected = committed.w->canvas().Image().copy(100, 700, 600, 379);

        CaptureHarness h;
        annotate(h);
        QVERIFY(h.w->Picture2.Visible() && h.w->TextEdit.Visible());
        QVERIFY(h.w->Picture2.pixelRect().intersects(QRect(100, 700, 600, 379)));
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonCopy);
        QCOMPARE(h.fakes.clipboard.image(), expected);
        QVERIFY(expected != screenCrop(QRect(100, 700, 600, 379)));
    }

    void grabHidesFrameReadoutsAndHandles() {
        CaptureHarness h;
        h.select(QPoint(100, 50), QPoint(400, 250));
        QVERIFY(h.w->Shape1.Visible() && h.w->LblPos.Visible() && h.w->Image1[0].Visible());
        h.w->ScrnCap(100, 50, 400, 250);
        QVERIFY(!h.w->Shape1.Visible() && !h.w->LblPos.Visible() && !h.w->lblInfo.Visible());
        for (const Control& handle : h.w->Image1)
            QVERIFY(!handle.Visible());
        QCOMPARE(h.fakes.clipboard.image().convertToFormat(QImage::Format_RGB32),
                 screenCrop(QRect(100, 50, 300, 200)));
        QVERIFY(!h.w->isUnloaded()); // the callers decide when the capture ends
    }

    void grabLeavesOutTheToolbarEvenIfShownAgain() {
        CaptureHarness h;
        // Near the bottom of the screen the toolbar sits inside the selection.
        h.select(QPoint(100, 900), QPoint(700, 1079));
        h.w->Picture1.show();
        QVERIFY(h.w->Picture1.pixelRect().intersects(QRect(100, 900, 600, 179)));
        h.w->ScrnCap(100, 900, 700, 1079);
        QCOMPARE(h.fakes.clipboard.image().convertToFormat(QImage::Format_RGB32),
                 screenCrop(QRect(100, 900, 600, 179)));
    }

    void grabOfOddRectangles_data() {
        QTest::addColumn<QRect>("edges"); // left, top, right, bottom as x, y, width, height
        QTest::addColumn<QSize>("size");  // an empty clipboard when zero
        QTest::newRow("empty") << QRect(100, 100, 100, 300) << QSize(0, 0);
        QTest::newRow("inverted") << QRect(300, 300, 100, 100) << QSize(0, 0);
        QTest::newRow("extreme") << QRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)
                                 << QSize(0, 0);
        QTest::newRow("past the screen") << QRect(1900, 1070, 1930, 1090) << QSize(30, 20);
    }
    void grabOfOddRectangles() {
        QFETCH(QRect, edges);
        QFETCH(QSize, size);
        CaptureHarness h;
        h.fakes.clipboard.image_ = QImage(5, 5, QImage::Format_RGB32); // the previous contents
        h.w->ScrnCap(edges.x(), edges.y(), edges.width(), edges.height());
        const QImage got = h.fakes.clipboard.image();
        QCOMPARE(got.size(), size);
        if (!size.isEmpty()) {
            QCOMPARE(got.pixel(0, 0), FakeScreen::patternPixel(1900, 1070));
            QCOMPARE(got.pixel(19, 9), FakeScreen::patternPixel(1919, 1079));
            QCOMPARE(got.pixel(20, 10), qRgb(0, 0, 0)); // nothing beyond the screen
        }
    }

    void saveAsksWithTheFixedRequest() {
        CaptureHarness h(QSize(1920, 1080), false);
        h.fakes.clipboard.image_ = screenCrop(QRect(0, 0, 20, 10));
        h.w->CutdSave(); // the fake answers nothing: cancelled
        QCOMPARE(h.fakes.saveDialog.requests.size(), size_t(1));
        const SaveDialogRequest& r = h.fakes.saveDialog.requests[0];
        QCOMPARE(r.title, QStringLiteral("保存为"));
        QCOMPARE(r.filters, (QStringList{
                                QStringLiteral("JPEG文件(*.jpg;*.jpeg) (*.jpg)"),
                                QStringLiteral("PNG文件(*.PNG) (*.PNG)"),
                                QStringLiteral("位图文件(*.bmp) (*.bmp)"),
                                QStringLiteral("GIF文件(*.gif) (*.gif)"),
                                QStringLiteral("TIFF文件(*.TIFF) (*.tiff)"),
                                QStringLiteral("所有文件(*.*) (*.*)"),
                            }));
        QCOMPARE(r.selectedFilter, 0);
        QCOMPARE(r.defaultSuffix, QStringLiteral("PNG"));
        QVERIFY(QFileInfo(r.initialDir).isDir());
        // Cancelled: nothing written, the area stays on the clipboard.
        QCOMPARE(h.fakes.clipboard.clears, 0);
        QVERIFY(!h.fakes.clipboard.image().isNull());
        QVERIFY(h.fakes.messageBox.shown.empty());
    }

    void saveWritesTheFormatOfTheTypedExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format"); // empty: not saved
        QTest::newRow("jpg") << "a.jpg" << QByteArray("jpeg");
        QTest::newRow("PNG") << "b.PNG" << QByteArray("png");
        QTest::newRow("Gif") << "c.Gif" << QByteArray("gif");
        QTest::newRow("tiff") << "d.tiff" << QByteArray("tiff");
        QTest::newRow("BMP") << "e.BMP" << QByteArray("bmp");
        QTest::newRow("two dots") << "f.png.jpg" << QByteArray("jpeg");
        QTest::newRow("jpeg") << "g.jpeg" << QByteArray("jpeg");
        QTest::newRow("tif") << "h.tif" << QByteArray("tiff");
        QTest::newRow("trailing dot") << "i." << QByteArray();
        QTest::newRow("missing folder") << "no/such/j.png" << QByteArray();
    }
    void saveWritesTheFormatOfTheTypedExtension() {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        CaptureHarness h(QSize(1920, 1080), false);
        // 48 colours: few enough for the GIF to keep them exactly.
        QImage area(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                area.setPixel(x, y, qRgb(x / 8 * 30, y / 8 * 40, 200));
        h.w->canvas().blit(QPoint(10, 20), area);
        h.w->ScrnCap(10, 20, 74, 68);
        // Another program takes the clipboard while the dialog is open: the save still
        // writes the grabbed area, and leaves the other program's data alone.
        const bool taken = name.startsWith('b');
        if (taken)
            h.fakes.clipboard.image_ = screenCrop(QRect(0, 0, 5, 5)),
            h.fakes.clipboard.ours = false;
        const QString path = dir.filePath(name);
        h.fakes.saveDialog.answers.push_back(path);
        h.w->CutdSave();
        QCOMPARE(h.fakes.pointer.value(), 0);
        if (format.isEmpty()) {
            QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
            QCOMPARE(h.fakes.messageBox.shown[0].title, QStringLiteral("错误"));
            QVERIFY(!QFile::exists(path));
            // The capture is gone: the clipboard keeps the user's picture.
            QCOMPARE(h.fakes.clipboard.clears, 0);
            QCOMPARE(h.fakes.clipboard.image(), area);
            return;
        }
        QCOMPARE(h.fakes.clipboard.clears, taken ? 0 : 1);
        QVERIFY(h.fakes.messageBox.shown.empty());
        QImageReader reader(path);
        QCOMPARE(reader.format(), format);
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back.size(), area.size());
        if (format != "jpeg")
            QCOMPARE(back, area);
    }

    void saveDialogOpensInPictures() {
        // Never among the program's files: the user's Pictures folder, else home.
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        for (const bool pictures : {true, false}) {
            if (pictures)
                QDir(home.path()).mkdir("Pictures");
            else
                QDir(home.filePath("Pictures")).removeRecursively();
            CaptureHarness h(QSize(640, 480), false);
            h.w->CutdSave();
            QCOMPARE(h.fakes.saveDialog.requests.at(0).initialDir,
                     pictures ? home.filePath("Pictures") : home.path());
        }
    }
};

QTEST_MAIN(tst_CaptureCopy)
#include "tst_CaptureCopy.moc"
