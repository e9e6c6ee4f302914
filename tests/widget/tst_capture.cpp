// The capture window driven as a user drives it, on fake platform services.
#include "CaptureHarness.h"
#include "capture/SelectionGeometry.h"
#include "style/ColourSwatch.h"
#include "style/StyleBox.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarStrip.h"

#include <QAbstractItemView>
#include <QBackingStore>
#include <QComboBox>
#include <QFontInfo>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <array>

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QPoint kSelA(200, 150), kSelB(700, 450);
const int kDefault = int(PointerShape::Default), kSizeAll = int(PointerShape::SizeAll),
          kCross = int(PointerShape::Crosshair);
using Harness = std::unique_ptr<CaptureHarness>;

QRectF shape(const frmCapture& w) {
    return QRectF(w.Shape1.Left(), w.Shape1.Top(), w.Shape1.Width(), w.Shape1.Height());
}
QPoint centreOf(const frmCapture* w, const QWidget* widget) {
    return widget->mapTo(w, widget->rect().center());
}
QPoint onHandle(const frmCapture& w, int i) {
    return w.Image1[size_t(i)].widget()->geometry().center();
}
void clickButton(CaptureHarness& h, int index) {
    h.click(centreOf(h.w, h.w->toolbar()->button(index)));
}
QPoint swatchAt(const CaptureHarness& h, int i) {
    return centreOf(h.w, h.w->stylePanel()->swatch(i));
}
QString rgbText(QRgb c) {
    return QStringLiteral("RGB(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}
QImage screenCrop(const QRect& r, QSize screen = QSize(1920, 1080)) {
    return FakeScreen::pattern(screen).copy(r);
}
// The picture with a one-pixel outline of box (corners included) in colour.
QImage withOutline(QImage img, const QRect& box, QRgb colour) {
    QPainter p(&img);
    p.setPen(QColor(colour));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    return img;
}
// What reached the screen inside the selection (100, 60, 200 x 100), below its read-outs and
// clear of its handles, is expected there.
bool screenShows(frmCapture* w, const QImage& expected) {
    QApplication::processEvents();
    if (!QTest::qWaitFor([w] { return !w->repaintPending(); }))
        return false;
    const QRect inner(102, 105, 196, 53);
    const QImage screen = w->screen()->grabWindow(w->winId()).toImage();
    return screen.convertToFormat(QImage::Format_RGB32).copy(inner) == expected.copy(inner);
}
// The window's backing store holds what a fresh rendering of it shows.
bool paintedAsShown(const CaptureHarness& h) {
    const auto* painted = dynamic_cast<const QImage*>(h.w->backingStore()->paintDevice());
    return painted && painted->convertToFormat(QImage::Format_RGB32) == h.shown();
}
// A 640 x 480 capture with the selection (100, 60, 200 x 100) and the tool armed.
Harness armed(const QString& tool) {
    auto h = std::make_unique<CaptureHarness>(QSize(640, 480));
    h->select({100, 60}, {300, 160});
    h->w->bTool = true;
    h->w->sTool = tool;
    return h;
}
// Draw a filled square into the window's picture and record it, as a finished annotation.
void drawAndPush(frmCapture* w, QRect r, QRgb colour) {
    w->canvas().setAutoRedraw(true);
    w->canvas().draw(r, [r, colour](QPainter& p) { p.fillRect(r, QColor(colour)); });
    w->HistoryPush();
}
// A bag whose snapshots cannot be read back: damaged bytes, or no memory for them.
struct FailingBag : ExcelPropertyBag {
    Result<QImage> ReadP(const QByteArray&) const override {
        return Failure{ErrorNumber::OutOfMemory, QStringLiteral("内存不足")};
    }
};
} // namespace

class TestCapture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUp() {
        CaptureHarness h(QSize(800, 600));
        frmCapture* w = h.w;
        QCOMPARE(w->geometry(), QRect(0, 0, 800, 600));
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound(), w->sState),
                 std::tuple(1, 1, 1, QString(kivo::kStateDraw)));
        QVERIFY(!w->bTool && !w->bDrawing && w->lngKeepOpen == 1);
        QCOMPARE(std::pair(h.fakes.pointer.value(), h.fakes.screen.grabs), std::pair(kCross, 1));
        QCOMPARE(w->arrHistory.snapshot(1, *w->objBag).value(), FakeScreen::pattern({800, 600}));
        QCOMPARE(h.shown(), FakeScreen::pattern(QSize(800, 600)));
        w->Unload(); // ending gives the pointer back
        QCOMPARE(h.fakes.pointer.value(), kDefault);
        FakePlatform fakes(QSize(640, 480)); // refused: one message, the pointer reset
        fakes.instance.running = true;
        frmCapture refused(fakes.platform());
        QVERIFY(!refused.Load());
        QCOMPARE(fakes.messageBox.shown.at(0).text,
                 QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!"));
        QCOMPARE(std::tuple(fakes.program.ended, fakes.screen.grabs, fakes.pointer.value()),
                 std::tuple(1, 0, kDefault));
    }

    void rubberBand_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRectF>("expected");
        const QPoint a(100, 100);
        QTest::newRow("down-left") << a << QPoint(50, 180) << QRectF(50, 100, 50, 80);
        QTest::newRow("up-right") << a << QPoint(250, 30) << QRectF(100, 30, 150, 70);
        QTest::newRow("1 pixel") << a << QPoint(101, 101) << QRectF(100, 100, 1, 1);
        QTest::newRow("anchor column") << a << QPoint(100, 180) << QRectF(100, 100, 0, 0);
        QTest::newRow("anchor row") << a << QPoint(180, 100) << QRectF(100, 100, 0, 0);
        QTest::newRow("off right")
            << QPoint(1700, 500) << QPoint(2300, 700) << QRectF(1700, 500, 219, 200);
        QTest::newRow("off up-left") << a << QPoint(-300, -50) << QRectF(0, 0, 100, 100);
    }
    void rubberBand() {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QRectF, expected);
        CaptureHarness h;
        h.press(from.x(), from.y());
        h.move((from.x() + to.x()) / 2, (from.y() + to.y()) / 2);
        h.move(to.x(), to.y());
        QCOMPARE(shape(*h.w), expected);
        QCOMPARE(h.w->lblPosWidget()->text(),
                 QStringLiteral("%1x%2").arg(expected.width()).arg(expected.height()));
        QCOMPARE(
            h.w->lblInfoWidget()->text(),
            rgbText(FakeScreen::patternPixel(qBound(0, to.x(), 1919), qBound(0, to.y(), 1079))));
        QVERIFY(h.w->Shape1.Visible() && h.w->lblPosWidget()->isVisible());
        QCOMPARE(h.w->lblPosWidget()->pos(), expected.topLeft().toPoint() + QPoint(2, 2));
        QCOMPARE(h.w->lblInfo.Top(), h.w->LblPos.Top() + h.w->LblPos.Height() + 2);
        QCOMPARE(h.w->Image1[6].Left(), float(expected.right() - 2));
        h.release(to.x(), to.y());
        QCOMPARE(h.w->sState, kivo::kStateMove);
        QCOMPARE(QPointF(h.w->sngStartX, h.w->sngStartY), expected.topLeft());
        QCOMPARE(h.w->Picture1.Left(), qMax(0.0f, float(expected.right() - 265)));
        QVERIFY(h.w->Picture1.Visible());
    }

    void moveSelection() {
        CaptureHarness h; // kept on the screen at either end
        h.select({1500, 500}, {1700, 600});
        for (const auto& [from, to, at] :
             {std::tuple{QPoint(1600, 550), QPoint(1910, 1075), QPointF(1720, 980)},
              {QPoint(1800, 1000), QPoint(50, 10), QPointF(0, 0)}}) {
            h.press(from.x(), from.y());
            h.move(from.x() + 10, from.y() + 10);
            h.move(to.x(), to.y());
            QCOMPARE(shape(*h.w), QRectF(at, QSizeF(200, 100)));
            QCOMPARE(std::pair(h.w->LblPos.Left(), h.w->Image1[0].Left()),
                     std::pair(float(at.x() + 2), float(at.x() - 2)));
            QCOMPARE(h.fakes.pointer.value(), kSizeAll);
            h.release(to.x(), to.y());
            QCOMPARE(QPointF(h.w->sngStartX, h.w->sngStartY), at);
        }
    }

    // Moves may come faster than the window shows frames: whatever the window has not yet
    // taken in is in before the release, and the last move is shown.
    void movesFasterThanFrames_data() {
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("release");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("band released") << false << true << QRectF(100, 100, 280, 210);
        QTest::newRow("band held") << false << false << QRectF(100, 100, 280, 210);
        QTest::newRow("move released") << true << true << QRectF(280, 260, 200, 100);
    }
    void movesFasterThanFrames() {
        QFETCH(bool, selected);
        QFETCH(bool, release);
        QFETCH(QRectF, expected);
        CaptureHarness h;
        if (selected)
            h.select({100, 100}, {300, 200});
        h.press(selected ? 200 : 100, selected ? 150 : 100);
        QVERIFY(h.repainted());
        for (const QPoint p : {QPoint(150, 120), QPoint(400, 300), QPoint(380, 310)})
            QTest::mouseMove(h.window(), p); // no time for a frame in between
        if (release)
            h.release(380, 310);
        QVERIFY(h.repainted());
        QCOMPARE(shape(*h.w), expected);
        QCOMPARE(h.w->lblInfoWidget()->text(), rgbText(FakeScreen::patternPixel(380, 310)));
        if (release)
            QCOMPARE(h.w->Picture1.Left(), float(expected.right() - 265));
        QVERIFY(paintedAsShown(h));
    }

    // The window is repainted piece by piece as things move; what it shows then must equal
    // a fresh rendering: no piece left out a place the frame, a handle, a read-out or the
    // toolbar moved from. Painted after every step, small ones and jumps.
    void repaintsLeaveNoTrace_data() {
        QTest::addColumn<QList<QPoint>>("path");
        QTest::newRow("band") << QList<QPoint>{{100, 100}, {103, 102}, {300, 200}, {302, 199},
                                               {150, 700}, {152, 703}, {60, 40}};
        QTest::newRow("move") << QList<QPoint>{{200, 150}, {203, 151}, {205, 155}, {900, 700},
                                               {901, 702}, {10, 10},   {12, 13}};
        QTest::newRow("handle") << QList<QPoint>{{300, 200}, {305, 203}, {700, 650}, {702, 655},
                                                 {120, 120}, {80, 80},   {82, 81}};
    }
    void repaintsLeaveNoTrace() {
        QFETCH(QList<QPoint>, path);
        for (float scale : {1.0f, 2.0f}) { // handles and read-outs of both sizes
            CaptureHarness h(QSize(1920, 1080), true, scale);
            if (path[0] != QPoint(100, 100))
                h.select({100, 100}, {300, 200});
            h.press(path[0].x(), path[0].y());
            for (const QPoint& p : path)
                h.move(p.x(), p.y());
            // The "handle" row drags the bottom-right handle.
            QVERIFY(QTest::currentDataTag() != QByteArray("handle") ||
                    h.w->sDrag == kivo::kDragStart);
            h.release(path.back().x(), path.back().y());
            QVERIFY(h.repainted());
            QVERIFY2(paintedAsShown(h), qPrintable(QStringLiteral("at scale %1").arg(scale)));
        }
    }

    void handleDrag_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<int>("button");
        QTest::addColumn<QRectF>("expected");
        // The selection is (100, 100)-(300, 200); each row is computed from it at the press.
        const int L = Qt::LeftButton;
        QTest::newRow("0") << 0 << QPoint(80, 90) << L << QRectF(82, 92, 220, 110);
        QTest::newRow("1") << 1 << QPoint(250, 50) << L << QRectF(100, 52, 200, 150);
        QTest::newRow("2") << 2 << QPoint(350, 50) << L << QRectF(100, 52, 252, 150);
        QTest::newRow("3") << 3 << QPoint(50, 400) << L << QRectF(52, 100, 250, 100);
        QTest::newRow("4") << 4 << QPoint(50, 260) << L << QRectF(52, 100, 250, 160);
        QTest::newRow("5 zero height") << 5 << QPoint(200, 100) << L << QRectF(100, 100, 200, 0);
        QTest::newRow("6 right button")
            << 6 << QPoint(350, 260) << int(Qt::RightButton) << QRectF(100, 100, 250, 160);
        QTest::newRow("7") << 7 << QPoint(400, 20) << L << QRectF(100, 100, 300, 100);
        QTest::newRow("6 off the window")
            << 6 << QPoint(2500, 1500) << L << QRectF(100, 100, 1819, 979);
        QTest::newRow("0 off the window") << 0 << QPoint(-80, -90) << L << QRectF(2, 2, 300, 200);
    }
    void handleDrag() {
        QFETCH(int, index);
        QFETCH(QPoint, cursor);
        QFETCH(int, button);
        QFETCH(QRectF, expected);
        CaptureHarness h;
        h.select({100, 100}, {300, 200});
        const auto b = Qt::MouseButton(button);
        const QPoint start = onHandle(*h.w, index);
        h.move(start.x(), start.y());
        QCOMPARE(h.fakes.pointer.value(), (std::array{8, 7, 6, 9, 6, 7, 8, 9}[size_t(index)]));
        h.press(start.x(), start.y(), b);
        QCOMPARE(h.w->sDrag, kivo::kDragStart);
        h.move(700, 500); // moves reach the handle wherever the pointer is
        h.move(cursor.x(), cursor.y());
        QCOMPARE(shape(*h.w), expected);
        QCOMPARE(h.w->lblPosWidget()->text(),
                 QStringLiteral("%1x%2").arg(expected.width()).arg(expected.height()));
        // Every handle, the read-out and the move base follow the new rectangle.
        const float l = expected.left(), t = expected.top(), r = expected.right(),
                    bt = expected.bottom(), cx = l + expected.width() / 2 - 2,
                    cy = t + expected.height() / 2 - 2;
        const QPointF at[8] = {{l - 2, t - 2},  {cx, t - 2},  {r - 4 / 1.5f, t - 2}, {l - 2, cy},
                               {l - 2, bt - 2}, {cx, bt - 2}, {r - 2, bt - 2},       {r - 2, cy}};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(QPointF(h.w->Image1[size_t(i)].Left(), h.w->Image1[size_t(i)].Top()), at[i]);
        QCOMPARE(h.w->LblPos.Left(), l + 2);
        QCOMPARE(QPointF(h.w->sngStartX, h.w->sngStartY), expected.topLeft());
        h.release(cursor.x(), cursor.y(), b);
        QCOMPARE(h.w->sDrag, kivo::kDragStop);
        QCOMPARE(shape(*h.w), expected);
        QVERIFY(h.w->Picture1.Visible() && !h.w->isUnloaded());
        QCOMPARE(h.w->Picture1.Left(), qBound(0.0f, r - 265, 1920.0f - 265));
    }

    void handleDragLimits() {
        CaptureHarness h;
        h.select({100, 100}, {300, 200});
        // Past the opposite edge: the last valid rectangle stays; back again, it follows.
        QPoint s = onHandle(*h.w, 3);
        h.press(s.x(), s.y());
        h.move(150, 150);
        h.move(320, 150);
        QCOMPARE(shape(*h.w), QRectF(152, 100, 150, 100));
        h.move(250, 150);
        QCOMPARE(shape(*h.w), QRectF(252, 100, 50, 100));
        h.release(250, 150);
        // With annotations the handles are locked; the release still places the strip.
        h.w->bTool = true;
        h.w->HistoryPush();
        h.w->Picture1.hide();
        s = onHandle(*h.w, 6);
        h.drag(s, {400, 300});
        QCOMPARE(shape(*h.w), QRectF(252, 100, 50, 100));
        QVERIFY(h.w->bTool && h.w->lngCount == 2 && h.w->Picture1.Visible());
        // After undoing them all, a press on a handle drops the redo steps and the tool.
        h.w->HistoryPush();
        h.w->Undo();
        h.w->Undo();
        h.press(s.x(), s.y());
        QVERIFY(!h.w->bTool);
        QCOMPARE(std::pair(h.w->lngCount, h.w->lngMax), std::pair(1, 1));
        h.move(400, 300);
        QCOMPARE(shape(*h.w), QRectF(252, 100, 148, 200));
        h.release(400, 300);
    }

    void placesOfTheCompanions() {
        CaptureHarness h;
        frmCapture& w = *h.w;
        const auto set = [&w](QRectF r) {
            w.Shape1.setGeometry(float(r.x()), float(r.y()), float(r.width()), float(r.height()));
            w.Shape1.show();
            w.ImageMove();
            w.LabelMove();
            w.ToolbarMove();
        };
        set({100, 100, 0, 0});
        QCOMPARE(w.Image1[2].Left(), float(100.0 - 4.0 / 1.5));
        QCOMPARE(w.Image1[2].widget()->geometry(), QRect(97, 98, 4, 4));
        // Halves go to the even neighbour: 1.5 -> 2, 0.5 -> 0, -2.5 -> -2, 102.5 -> 102.
        set({0, -0.5, 7, 5});
        QCOMPARE(w.Image1[1].widget()->pos(), QPoint(2, -2));
        QCOMPARE(w.Image1[7].widget()->pos(), QPoint(5, 0));
        set({100.5, 40.5, 0.5, 97.33334});
        QCOMPARE(w.lblPosWidget()->text(), QStringLiteral("0.5x97.33334"));
        QCOMPARE(w.lblPosWidget()->pos(), QPoint(102, 42));
        QCOMPARE(w.LblPos.Width(), float(w.lblPosWidget()->sizeHint().width()));
        QVERIFY(!w.LblPos.Visible() && !w.lblInfo.Visible()); // placing does not show them
        // The strip: under the selection, inside it near the screen's bottom, at the left edge.
        const std::pair<QRectF, QPointF> strips[] = {{{500, 851, 400, 200}, {635, 1021}},
                                                     {{500, 850, 400, 200}, {635, 1054}},
                                                     {{0, 100, 100, 50}, {0, 154}},
                                                     {{10, 1000, 100, 70}, {0, 1040}},
                                                     {{300.5, 851.25, 200, 200}, {235.5, 1021.25}}};
        for (const auto& [sel, at] : strips) {
            set(sel);
            QCOMPARE(QPointF(w.Picture1.Left(), w.Picture1.Top()), at);
        }
        QCOMPARE(w.Picture1.widget()->pos(), QPoint(236, 1021));
        // The panel: an exact fit between the strip and the bottom goes under it, 3 apart.
        const float panel = 560.0f / 15, fits = 1080 - panel - 3 - 26;
        QCOMPARE(geometry::stylePanelTop(fits, 26, panel, 1080), fits + 26 + 3);
        QCOMPARE(geometry::stylePanelTop(fits + 1, 26, panel, 1080), fits + 1 - panel - 3);
        // Longer than the screen, a moved edge ends on the screen's far edge.
        QCOMPARE(geometry::movedEdge(0, 500, 510, 2000, 1920), -80.0f);
    }

    void chromeAtScale_data() {
        QTest::addColumn<float>("s");
        QTest::addColumn<float>("handle2");
        QTest::newRow("1") << 1.0f << float(900 - 4 / 1.5);
        QTest::newRow("1.5") << 1.5f << 896.0f;
        QTest::newRow("2") << 2.0f << float(900 - 8 / 1.5);
    }
    void chromeAtScale() {
        QFETCH(float, s);
        CaptureHarness h(QSize(1920, 1080), true, s);
        frmCapture& w = *h.w;
        h.select({500, 300}, {900, 500});
        QCOMPARE(w.Shape1.Width(), 400.0f); // the picture is not scaled
        const auto px = [s](float designed) { return kivo::roundInt(designed * s); };
        QCOMPARE(w.Image1[6].widget()->size(), QSize(px(4), px(4)));
        QTEST(w.Image1[2].Left(), "handle2");
        QCOMPARE(w.Image1[6].Left(), 900 - 2 * s);
        QCOMPARE(w.toolbar()->size(), QSize(px(265), px(26)));
        QCOMPARE(w.toolbar()->button(kivo::kButtonSave)->size(), QSize(px(16), px(16)));
        QCOMPARE(QPointF(w.Picture1.Left(), w.Picture1.Top()), QPointF(900 - 265 * s, 500 + 4 * s));
        QCOMPARE(QPointF(w.LblPos.Left(), w.LblPos.Top()), QPointF(500 + 2 * s, 300 + 2 * s));
        QCOMPARE(w.lblInfo.Top(), w.LblPos.Top() + w.LblPos.Height() + 2 * s);
        QCOMPARE(QFontInfo(w.lblPosWidget()->font()).pixelSize(), px(14));
        QCOMPARE(w.TextEdit.Height(), 16 * s);
        clickButton(h, kivo::kButtonArrow);
        QCOMPARE(w.Picture2.Top(), 500 + 33 * s); // 3 under the strip
        QCOMPARE(w.Picture2.widget()->height(), px(560.0f / 15));
        w.Shape1.setGeometry(500, 851, 400, 200);
        w.ToolbarMove();
        QCOMPARE(w.Picture1.Top(), 1051 - 30 * s);
    }

    void otherButtons() {
        CaptureHarness h;
        h.select({100, 100}, {300, 200});
        // Back, forward: nothing anywhere. Middle: a press hides the strip, moves nothing.
        for (Qt::MouseButton b : {Qt::BackButton, Qt::ForwardButton})
            for (QPoint at : {QPoint(600, 500), QPoint(200, 150), onHandle(*h.w, 0)}) {
                h.drag(at, at + QPoint(30, 20), b, 1);
                h.doubleClick(at.x(), at.y(), b);
                QCOMPARE(shape(*h.w), QRectF(100, 100, 200, 100));
                QVERIFY(h.w->Picture1.Visible() && !h.w->isUnloaded());
            }
        h.drag({150, 150}, {250, 300}, Qt::MiddleButton);
        QCOMPARE(shape(*h.w), QRectF(100, 100, 200, 100));
        QVERIFY(!h.w->Picture1.Visible() && !h.w->isUnloaded());
        QCOMPARE(h.fakes.clipboard.sets, 0);
        // A right press inside or outside discards the selection and keeps the window.
        for (QPoint at : {QPoint(200, 150), QPoint(600, 500)}) {
            h.select({100, 100}, {300, 200});
            h.click(at, Qt::RightButton);
            QCOMPARE(h.w->sState, kivo::kStateDraw);
            QVERIFY(!h.w->Shape1.Visible() && !h.w->Picture1.Visible() && !h.w->LblPos.Visible() &&
                    !h.w->isUnloaded());
        }
        // A double-click whose first press went to a window just closed is this one's press:
        // with no selection, its release ends the capture.
        const QPointF at(400, 300);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, h.w->mapToGlobal(at), Qt::RightButton,
                           Qt::RightButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, h.w->mapToGlobal(at), Qt::RightButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(h.w, &second);
        QApplication::sendEvent(h.w, &release);
        QVERIFY(h.w->isUnloaded());
    }

    void toolbar() {
        CaptureHarness h;
        h.select(kSelA, kSelB);
        // Each tool arms with its panel under the strip; again hides it, a third time shows it.
        const std::pair<int, QString> tools[] = {{7, kivo::kToolRectangle},
                                                 {6, kivo::kToolEllipse},
                                                 {5, kivo::kToolText},
                                                 {4, kivo::kToolArrow}};
        for (const auto& [index, tool] : tools) {
            clickButton(h, index);
            QVERIFY(h.w->bTool && h.w->sTool == tool && h.w->lngLastTool == index);
            QVERIFY(h.w->Picture2.Visible());
            QCOMPARE(h.w->stylePanel()->PicFont.Visible(), index == kivo::kButtonText);
            clickButton(h, index);
            QVERIFY(!h.w->Picture2.Visible() && h.w->bTool);
            clickButton(h, index);
        }
        drawAndPush(h.w, QRect(300, 200, 10, 10), qRgb(0, 255, 0));
        const QImage annotated = h.w->canvas().Picture();
        clickButton(h, kivo::kButtonUndo);
        clickButton(h, kivo::kButtonRectangle); // undo in between: the panel stays shown
        QVERIFY(h.w->Picture2.Visible() && h.w->lngLastTool == 7);
        clickButton(h, kivo::kButtonRedo);
        // Undo past the frozen screen takes the selection and all its companions away.
        clickButton(h, kivo::kButtonUndo);
        clickButton(h, kivo::kButtonUndo);
        QCOMPARE(std::tuple(h.w->lngCount, h.w->lngMax, h.w->sState, h.w->bTool),
                 std::tuple(1, 2, QString(kivo::kStateDraw), false));
        QVERIFY(!h.w->Picture1.Visible() && !h.w->Picture2.Visible() && !h.w->LblPos.Visible());
        QCOMPARE(QSizeF(h.w->Shape1.Width(), h.w->Shape1.Height()), QSizeF(0, 0));
        for (const Control& handle : h.w->Image1)
            QVERIFY(!handle.Visible());
        QCOMPARE(h.shown(), FakeScreen::pattern(QSize(1920, 1080)));
        h.w->Redo();
        QCOMPARE(h.w->canvas().Picture(), annotated);
    }

    void stylePanel() {
        CaptureHarness h;
        h.select(kSelA, kSelB);
        clickButton(h, kivo::kButtonText);
        StylePanel& panel = *h.w->stylePanel();
        // Chosen on the release, on the pressed swatch, even after dragging off.
        h.press(swatchAt(h, 2).x(), swatchAt(h, 2).y());
        QCOMPARE(h.w->currentColour(), kivo::Colour(0xFF));
        h.move(swatchAt(h, 10).x(), swatchAt(h, 10).y());
        h.move(600, 50);
        h.release(600, 50);
        QCOMPARE(h.w->currentColour(), kivo::Colour(0xC0));
        QCOMPARE(h.shown().pixel(swatchAt(h, 16)), qRgb(192, 0, 0));
        // Whatever text the face might get, the text tool still reads a number.
        for (const char* bad : {"abc", "", "-3", "0"}) {
            panel.text1()->setText(QString::fromLatin1(bad));
            QCOMPARE(h.w->chosenTextSize(), 11.0f);
        }
        // The size list: hover face, opened and closed by the face, a pick shown (never focused).
        panel.PicCombox_MouseMove();
        QCOMPARE(panel.face()->picture().toImage(), panel.Image4[1].toImage());
        h.w->OpenCombo();
        QVERIFY(panel.combo()->view()->isVisible());
        h.w->OpenCombo();
        QVERIFY(!panel.combo()->view()->isVisible() && panel.text1()->focusPolicy() == Qt::NoFocus);
        panel.combo()->setCurrentIndex(panel.combo()->count() - 1);
        panel.Combo1_Click();
        QCOMPARE(h.w->chosenTextSize(), panel.combo()->currentText().toFloat());
    }

    void shapesCommitOnTheSelection() {
        // The rectangle's end is clamped onto the selection; the right button draws too.
        auto h = armed(kivo::kToolRectangle);
        frmCapture* w = h->w;
        const QImage frozen = w->canvas().Picture();
        h->press(150, 115); // mid-drag, only the last preview reaches the screen, none the picture
        for (QPoint p : {QPoint(290, 150), QPoint(120, 70), QPoint(400, 10), QPoint(250, 140)})
            h->move(p.x(), p.y());
        QVERIFY(!w->canvas().autoRedraw() && w->canvas().Picture() == frozen);
        QVERIFY(
            screenShows(w, withOutline(frozen, QRect(QPoint(150, 115), QPoint(250, 140)), kRed)));
        h->release(250, 140);
        w->Undo();
        h->drag({120, 80}, {400, 500});
        QImage expected = withOutline(frozen, QRect(QPoint(120, 80), QPoint(300, 160)), kRed);
        h->drag({130, 90}, {200, 120}, Qt::RightButton);
        expected = withOutline(expected, QRect(QPoint(130, 90), QPoint(200, 120)), kRed);
        QCOMPARE(w->canvas().Picture(), expected);
        QCOMPARE(std::tuple(w->lngCount, w->bDrawing, w->Shape1.pixelRect()),
                 std::tuple(3, false, QRect(100, 60, 200, 100)));
        // The ellipse dragged up-left fits its box, x 120..179, y 80..139, with no fill.
        w->Undo();
        w->Undo();
        w->sTool = kivo::kToolEllipse;
        QImage frozen2 = frozen;
        h->drag({180, 140}, {120, 80});
        QPainter p(&frozen2);
        p.setPen(QPen(QColor(kRed), 1));
        p.setClipRect(QRect(120, 80, 60, 60)); // the one-pixel ellipse through its box
        p.drawEllipse(QRectF(120, 80, 59, 59));
        p.end();
        QCOMPARE(w->canvas().Picture(), frozen2);
        QVERIFY(screenShows(w, frozen2));
        QCOMPARE(w->lngMax, 2);      // the undone shapes are gone for good
        w->sTool = kivo::kToolArrow; // a level arrow: its barbs end 10 px back, 5 px aside
        h->drag({150, 110}, {250, 110});
        for (QPoint p : {QPoint(150, 110), QPoint(200, 110), QPoint(250, 110), QPoint(240, 105)})
            QCOMPARE(w->canvas().Picture().pixel(p), kRed);
        w->Undo();
        // Nothing starts on the frame or outside it, whatever the tool.
        for (const QString& tool : {kivo::kToolEllipse, kivo::kToolArrow, kivo::kToolText}) {
            w->sTool = tool;
            const QImage before = w->canvas().Image();
            for (QPoint p :
                 {QPoint(100, 100), QPoint(300, 100), QPoint(150, 60), QPoint(50, 300)}) {
                h->drag(p, {200, 120});
                QCOMPARE(w->canvas().Image(), before);
                QVERIFY(w->lngCount == 2 && !w->bDrawing && !w->TextEdit.Visible());
            }
        }
    }

    void text() {
        auto h = armed(kivo::kToolText);
        frmCapture* w = h->w;
        // The first click places the box; it grows with the text.
        h->press(120, 120);
        h->release(130, 125);
        QVERIFY(w->bDrawing && w->TextEdit.Visible() && w->textEditWidget()->hasFocus());
        QCOMPARE(QRectF(w->TextEdit.Left(), w->TextEdit.Top(), w->TextEdit.Width(), 0),
                 QRectF(130, 125, 25, 0));
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("WWWWWW"));
        QVERIFY(w->TextEdit.Width() > 25);
        // A click outside the selection commits it at the box's place, as one step.
        const QImage typing = h->shown();
        h->click({500, 400});
        QCOMPARE(std::pair(w->lngCount, w->lngMax), std::pair(2, 2));
        QVERIFY(!w->bDrawing && !w->TextEdit.Visible() && w->textEditWidget()->text().isEmpty());
        const QRect ink = inkBounds(w->canvas().Picture().copy(125, 120, 100, 40), kRed);
        QVERIFY(ink.isValid() && ink.left() >= 5 && ink.top() >= 5);
        QCOMPARE(inkBounds(typing.copy(125, 120, 100, 40), kRed), ink); // shown where drawn
    }

    // Drawn with persistence, clipped to its area; Cls puts back what two drawings covered.
    void canvasLayers() {
        Canvas c;
        const QImage pic = FakeScreen::pattern({64, 48});
        c.setPicture(pic);
        c.setAutoRedraw(true);
        for (QRect r : {QRect(10, 10, 5, 5), QRect(30, 20, 8, 8)})
            c.draw(QRegion(r), [](QPainter& p) { p.fillRect(0, 0, 64, 48, Qt::red); });
        QCOMPARE(inkBounds(c.Image(), kRed), QRect(10, 10, 28, 18));
        QCOMPARE(c.Image().pixel(20, 20), pic.pixel(20, 20));
        c.Cls();
        QCOMPARE(c.Image(), pic);
    }

    void historyIndices() {
        CaptureHarness h(QSize(320, 240), false);
        frmCapture* w = h.w;
        w->Redo();
        QCOMPARE(w->lngCount, 1);
        std::vector<QImage> shown{w->canvas().Picture()};
        for (int i = 0; i < 6; ++i) {
            drawAndPush(w, QRect((i * 37) % 300, (i * 53) % 220, 15 + i, 10 + i),
                        qRgb(i * 40, 255 - i * 40, 7));
            shown.push_back(w->canvas().Picture());
        }
        w->Redo(); // at the top: nothing
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound()),
                 std::tuple(7, 7, 7));
        for (int k = 1; k <= 7; ++k)
            QCOMPARE(w->arrHistory.snapshot(k, *w->objBag).value(), shown[size_t(k - 1)]);
        for (int k = 6; k >= 1; --k) {
            w->Undo();
            QCOMPARE(w->canvas().Picture(), shown[size_t(k - 1)]);
        }
        w->Undo(); // past the first: nothing without a selection
        QCOMPARE(w->lngCount, 1);
        for (int k = 2; k <= 4; ++k) {
            w->Redo();
            QCOMPARE(w->canvas().Picture(), shown[size_t(k - 1)]);
        }
        // A push after undo cuts off redo.
        w->Undo();
        drawAndPush(w, QRect(200, 200, 30, 30), qRgb(255, 255, 0));
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound()),
                 std::tuple(4, 4, 4));
        const QImage top = w->canvas().Picture();
        w->Redo();
        QCOMPARE(w->canvas().Picture(), top);
        w->Undo();
        QCOMPARE(w->canvas().Picture(), shown[2]);
        // Truncate keeps the frozen screen only; the next step holds all drawn since.
        w->HistoryTruncate();
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound()),
                 std::tuple(1, 1, 1));
        QCOMPARE(w->canvas().Picture(), shown[2]);
        drawAndPush(w, QRect(5, 5, 2, 2), qRgb(0, 0, 255));
        const QImage after = w->canvas().Picture();
        w->Undo();
        QCOMPARE(w->canvas().Picture(), shown[0]);
        w->Redo();
        QCOMPARE(w->canvas().Picture(), after);
    }

    void historyCostAndFailures() {
        CaptureHarness h(QSize(1920, 1080), false);
        frmCapture* w = h.w;
        drawAndPush(w, QRect(500, 400, 200, 100), qRgb(1, 2, 3));
        QCOMPARE(w->arrHistory.step(2).rect, QRect(500, 400, 200, 100));
        QVERIFY(w->arrHistory.stepBytes() <= qint64(2 * 200 * 100 * 4 * 1.1));
        drawAndPush(w, QRect(500, 400, 200, 100), qRgb(1, 2, 3)); // changed nothing
        QVERIFY(w->arrHistory.step(3).rect.isEmpty());
        w->Undo();
        QCOMPARE(w->canvas().Picture().pixel(510, 410), qRgb(1, 2, 3));
        w->Undo();
        QCOMPARE(w->canvas().Picture().pixel(510, 410), FakeScreen::patternPixel(510, 410));
        w->Redo();
        drawAndPush(w, QRect(20, 20, 5, 5), qRgb(0, 255, 0));
        w->Undo();
        // Snapshots that cannot be rebuilt: an error, and the picture and counters stay.
        const QImage shown = w->canvas().Picture();
        w->objBag = std::make_unique<FailingBag>();
        w->Undo();
        w->Redo();
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(2));
        QCOMPARE(
            h.fakes.messageBox.shown[0].text,
            QStringLiteral("在恢复图片的过程中发生错误:\r\n\r\n错误号: 7\r\n错误描述: 内存不足"));
        QCOMPARE(w->canvas().Picture(), shown);
        QCOMPARE(std::pair(w->lngCount, w->lngMax), std::pair(2, 3));
        w->arrHistory.forgetShown(); // the next push has to rebuild snapshot 2
        drawAndPush(w, QRect(30, 30, 5, 5), qRgb(0, 0, 255));
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(3));
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound()),
                 std::tuple(2, 2, 2)); // the failed step's redo steps are gone too
        QVERIFY(!w->isUnloaded());
    }

    void copyHoldsThePictureOnly() {
        // Strip and panel inside the selection, text still typed: the copy holds the rectangle
        // and the committed text, and no panel, box, frame or handle.
        const auto annotate = [](CaptureHarness& h) {
            h.select(QPoint(100, 700), QPoint(700, 1079));
            clickButton(h, kivo::kButtonRectangle);
            h.drag(QPoint(150, 720), QPoint(170, 730));
            clickButton(h, kivo::kButtonText);
            h.click({250, 900});
            QTest::keyClicks(h.w->textEditWidget(), QStringLiteral("Ab"));
        };
        CaptureHarness committed;
        annotate(committed);
        committed.click({120, 720});
        const QImage expected = committed.w->canvas().Image().copy(100, 700, 600, 379);
        QVERIFY(expected != screenCrop(QRect(100, 700, 600, 379)));
        CaptureHarness h;
        annotate(h);
        QVERIFY(h.w->Picture2.pixelRect().intersects(QRect(100, 700, 600, 379)));
        QVERIFY(h.w->Picture1.pixelRect().intersects(QRect(100, 700, 600, 379)));
        clickButton(h, kivo::kButtonCopy);
        QCOMPARE(h.fakes.clipboard.image(), expected);
        QCOMPARE(h.fakes.clipboard.sets, 1);
        QTRY_VERIFY(h.w.isNull());
    }

    void grabOfRectangles_data() {
        QTest::addColumn<QRect>("edges"); // left, top, right, bottom as x, y, width, height
        QTest::addColumn<QSize>("size");  // an empty clipboard when zero
        QTest::newRow("empty") << QRect(100, 100, 100, 300) << QSize(0, 0);
        QTest::newRow("extreme") << QRect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX)
                                 << QSize(0, 0);
        QTest::newRow("past the screen") << QRect(1900, 1070, 1930, 1090) << QSize(30, 20);
    }
    void grabOfRectangles() {
        QFETCH(QRect, edges);
        QFETCH(QSize, size);
        CaptureHarness h;
        h.select(QPoint(100, 900), QPoint(700, 1079));
        h.w->Picture1.show(); // even shown over the area, the strip is left out
        h.fakes.clipboard.image_ = QImage(5, 5, QImage::Format_RGB32);
        h.w->ScrnCap(edges.x(), edges.y(), edges.width(), edges.height());
        QVERIFY(!h.w->Shape1.Visible() && !h.w->LblPos.Visible() && !h.w->Image1[6].Visible());
        QVERIFY(!h.w->isUnloaded()); // the callers decide when the capture ends
        QCOMPARE(h.fakes.clipboard.image().size(), size);
        if (size.isEmpty())
            return;
        QImage expected(size, QImage::Format_RGB32);
        expected.fill(Qt::black); // nothing beyond the screen
        QPainter(&expected).drawImage(0, 0, screenCrop(QRect(edges.topLeft(), size)));
        QCOMPARE(h.fakes.clipboard.image(), expected);
    }

    void eventsDuringACopyNeverEndTheWindowUnderIt_data() {
        QTest::addColumn<bool>("withoutWindow");
        QTest::newRow("window kept until copied") << false;
        QTest::newRow("window gone before the encoding") << true; // as on X11
    }
    void eventsDuringACopyNeverEndTheWindowUnderIt() {
        // Clicks queued while a copy runs are handled after it, on a window already ended.
        CaptureHarness h(QSize(800, 600));
        QFETCH(bool, withoutWindow);
        h.fakes.clipboard.withoutWindow = withoutWindow;
        h.select({100, 300}, {700, 590});
        QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
        const QPointF in(300, 400);
        for (const auto& [type, button] : {std::pair{QEvent::MouseButtonDblClick, Qt::LeftButton},
                                           {QEvent::MouseButtonPress, Qt::RightButton},
                                           {QEvent::MouseButtonRelease, Qt::RightButton},
                                           {QEvent::MouseButtonPress, Qt::RightButton},
                                           {QEvent::MouseButtonRelease, Qt::RightButton}})
            QCoreApplication::postEvent(h.w, new QMouseEvent(type, in, h.w->mapToGlobal(in), button,
                                                             type == QEvent::MouseButtonRelease
                                                                 ? Qt::NoButton
                                                                 : Qt::MouseButtons(button),
                                                             Qt::NoModifier));
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonCopy);
        QCOMPARE(ended.count(), 1);
        QTRY_VERIFY(h.w.isNull());
        QCOMPARE(std::pair(ended.count(), h.fakes.clipboard.sets), std::pair(qsizetype(1), 1));
        QCOMPARE(h.fakes.clipboard.image(), screenCrop(QRect(100, 300, 600, 290), {800, 600}));
    }

    void saveButton() {
        // Cancelled: the area grabbed before the dialog (chrome back meanwhile) stays copied.
        {
            CaptureHarness h(QSize(800, 600));
            h.select({100, 300}, {700, 590});
            clickButton(h, kivo::kButtonRectangle);
            std::tuple<bool, bool, bool, int> during;
            h.fakes.saveDialog.onAsk = [&] {
                during = {h.w->Picture1.Visible(), h.w->Picture2.Visible(), h.w->Shape1.Visible(),
                          h.fakes.clipboard.sets};
            };
            clickButton(h, kivo::kButtonSave);
            QTRY_VERIFY(h.w.isNull());
            QCOMPARE(during, std::tuple(true, true, true, 1));
            QCOMPARE(std::pair(h.fakes.saveDialog.requests.size(), h.fakes.clipboard.clears),
                     std::pair(size_t(1), 0));
            QCOMPARE(h.fakes.clipboard.image(), screenCrop(QRect(100, 300, 600, 290), {800, 600}));
        }
        // Closed by the window manager while the dialog runs: the window outlives the save.
        CaptureHarness h(QSize(800, 600));
        h.select({100, 300}, {700, 590});
        QTemporaryDir dir;
        h.fakes.saveDialog.answers = {dir.filePath("shot.png")};
        bool aliveInDialog = false;
        h.fakes.saveDialog.onAsk = [&] {
            h.w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            aliveInDialog = !h.w.isNull();
        };
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonSave);
        QVERIFY(aliveInDialog);
        QCOMPARE(QImage(dir.filePath("shot.png")).convertToFormat(QImage::Format_RGB32),
                 screenCrop(QRect(100, 300, 600, 290), {800, 600}));
        QCOMPARE(h.fakes.pointer.value(), kDefault);
        QTRY_VERIFY(h.w.isNull());
        // A click without a drag selects nothing: the save names the fault and writes nothing.
        CaptureHarness empty(QSize(640, 480));
        empty.click({300, 200});
        empty.fakes.saveDialog.answers = {dir.filePath("empty.png")};
        Q_EMIT empty.w->toolbar()->buttonClicked(kivo::kButtonSave);
        QCOMPARE(empty.fakes.messageBox.shown.at(0).title, QStringLiteral("错误"));
        QVERIFY(!QFile::exists(dir.filePath("empty.png")));
        QCOMPARE(empty.fakes.pointer.value(), kDefault);
    }

    void saveWritesTheTypedFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format"); // empty: not saved
        QTest::newRow("PNG, clipboard taken") << "b.PNG" << QByteArray("png");
        QTest::newRow("two dots") << "f.png.jpg" << QByteArray("jpeg");
        QTest::newRow("trailing dot") << "i." << QByteArray();
        QTest::newRow("missing folder") << "no/such/j.png" << QByteArray();
    }
    void saveWritesTheTypedFormat() {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        CaptureHarness h(QSize(1920, 1080), false);
        const QImage area = screenCrop(QRect(10, 20, 64, 48));
        h.w->ScrnCap(10, 20, 74, 68);
        // Another program took the clipboard meanwhile: the save leaves its data alone.
        const bool taken = name.startsWith('b');
        h.fakes.clipboard.ours = !taken;
        const QString path = dir.filePath(name);
        h.fakes.saveDialog.answers.push_back(path);
        h.w->CutdSave();
        QCOMPARE(h.fakes.pointer.value(), kDefault);
        if (format.isEmpty()) { // the capture is gone: the clipboard keeps the picture
            QCOMPARE(h.fakes.messageBox.shown.at(0).title, QStringLiteral("错误"));
            QVERIFY(!QFile::exists(path));
            QCOMPARE(h.fakes.clipboard.clears, 0);
            QCOMPARE(h.fakes.clipboard.image(), area);
            return;
        }
        QCOMPARE(h.fakes.clipboard.clears, taken ? 0 : 1);
        QVERIFY(h.fakes.messageBox.shown.empty());
        QCOMPARE(QImageReader(path).format(), format);
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
