// The capture window driven as a user drives it, on fake platform services: start-up, the
// rubber band, moving and resizing the selection, the strip and the style panel, drawing and
// text, undo and redo, and what copy and save leave on the clipboard and on disk.
#include "CaptureHarness.h"
#include "capture/SelectionGeometry.h"
#include "platform/QtSaveDialog.h"
#include "style/ColourSwatch.h"
#include "style/StyleBox.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarStrip.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QPoint kSelA(200, 150), kSelB(700, 450);
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
QList<int> outlined(const StylePanel& panel) {
    QList<int> v;
    for (int i = 0; i < 16; ++i)
        if (panel.swatch(i)->BorderStyle() != 0)
            v << i;
    return v;
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
// A 640 x 480 capture with the selection (100, 60, 200 x 100) and the tool armed.
Harness armed(const QString& tool, QSize screen = QSize(640, 480),
              QRect sel = {100, 60, 200, 100}) {
    auto h = std::make_unique<CaptureHarness>(screen);
    h->select(sel.topLeft(), sel.topLeft() + QPoint(sel.width(), sel.height()));
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
    void startUpShowsTheFrozenScreenOnly() {
        CaptureHarness h(QSize(800, 600));
        frmCapture* w = h.w;
        QCOMPARE(w->geometry(), QRect(0, 0, 800, 600));
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound()),
                 std::tuple(1, 1, 1));
        QCOMPARE(w->sState, kivo::kStateDraw);
        QVERIFY(!w->bTool && !w->bDrawing && w->lngKeepOpen == 1);
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Crosshair));
        QCOMPARE(h.fakes.screen.grabs, 1);
        QCOMPARE(w->canvas().Picture().constBits(), w->canvas().Image().constBits());
        QCOMPARE(w->arrHistory.snapshot(1, *w->objBag).value(), FakeScreen::pattern({800, 600}));
        QCOMPARE(h.shown(), FakeScreen::pattern(QSize(800, 600)));
        // Keys do nothing, with or without Ctrl.
        h.select({50, 50}, {200, 150});
        const QImage before = h.shown();
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Delete, Qt::Key_Z}) {
            QTest::keyClick(h.window(), key);
            QTest::keyClick(h.window(), key, Qt::ControlModifier);
        }
        QVERIFY(h.w && h.w->isVisible() && !h.w->isUnloaded());
        QCOMPARE(h.shown(), before);
        // Ending gives the pointer back; the next capture freezes the screen as it is now.
        w->Unload();
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Default));
        h.fakes.screen.image = QImage(100, 50, QImage::Format_RGB32);
        h.fakes.screen.image.fill(qRgb(1, 2, 3));
        frmCapture second(h.fakes.platform());
        QVERIFY(second.Load());
        QCOMPARE(second.canvas().Image().size(), QSize(800, 600)); // a smaller grab at the origin
        QCOMPARE(second.canvas().Image().pixel(99, 49), qRgb(1, 2, 3));
        QCOMPARE(second.canvas().Image().pixel(100, 50), qRgb(0, 0, 0));
        QCOMPARE(std::tuple(second.sState, second.bTool, second.lngMax, second.Shape1.Width()),
                 std::tuple(QString(kivo::kStateDraw), false, 1, 0.0f));
    }

    void startUpRefused() {
        for (const bool running : {true, false}) {
            FakePlatform fakes(QSize(640, 480));
            fakes.instance.running = running;
            fakes.screen.failureText = running ? QString() : QStringLiteral("refused");
            frmCapture w(fakes.platform());
            QVERIFY(!w.Load());
            QCOMPARE(fakes.messageBox.shown.size(), size_t(1));
            QCOMPARE(fakes.messageBox.shown[0].text,
                     running ? QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!")
                             : QStringLiteral("refused"));
            QCOMPARE(fakes.program.ended, running ? 1 : 0);
            QCOMPARE(fakes.screen.grabs, running ? 0 : 1);
            QCOMPARE(fakes.pointer.value(), int(PointerShape::Default));
        }
    }

    void rubberBand_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRectF>("expected");
        QTest::addColumn<QString>("readout");
        const QPoint a(100, 100);
        QTest::newRow("down-left") << a << QPoint(50, 180) << QRectF(50, 100, 50, 80) << "50x80";
        QTest::newRow("down-right")
            << a << QPoint(300, 250) << QRectF(100, 100, 200, 150) << "200x150";
        QTest::newRow("up-left") << a << QPoint(40, 60) << QRectF(40, 60, 60, 40) << "60x40";
        QTest::newRow("up-right") << a << QPoint(250, 30) << QRectF(100, 30, 150, 70) << "150x70";
        QTest::newRow("1 pixel") << a << QPoint(101, 101) << QRectF(100, 100, 1, 1) << "1x1";
        QTest::newRow("anchor row") << a << QPoint(200, 100) << QRectF(100, 100, 0, 0) << "0x0";
        QTest::newRow("anchor column") << a << QPoint(100, 180) << QRectF(100, 100, 0, 0) << "0x0";
        QTest::newRow("off right")
            << QPoint(1700, 500) << QPoint(2300, 700) << QRectF(1700, 500, 219, 200) << "219x200";
        QTest::newRow("off up-left")
            << a << QPoint(-300, -50) << QRectF(0, 0, 100, 100) << "100x100";
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
        QTEST(h.w->lblPosWidget()->text(), "readout");
        const QPoint held(qBound(0, to.x(), 1919), qBound(0, to.y(), 1079));
        QCOMPARE(h.w->lblInfoWidget()->text(),
                 rgbText(FakeScreen::patternPixel(held.x(), held.y())));
        QVERIFY(h.w->Shape1.Visible() && h.w->lblPosWidget()->isVisible());
        QCOMPARE(h.w->lblPosWidget()->pos(), expected.topLeft().toPoint() + QPoint(2, 2));
        QCOMPARE(h.w->lblInfo.Top(), h.w->LblPos.Top() + h.w->LblPos.Height() + 2);
        QCOMPARE(h.w->Image1[6].Left(), float(expected.right() - 2));
        QCOMPARE(h.w->sState, kivo::kStateDraw);
        h.release(to.x(), to.y());
        QCOMPARE(h.w->sState, kivo::kStateMove);
        QCOMPARE(QPointF(h.w->sngStartX, h.w->sngStartY), expected.topLeft());
        QCOMPARE(h.w->Picture1.Left(), qMax(0.0f, float(expected.right() - 265)));
        QVERIFY(h.w->Picture1.Visible() && h.w->Picture1.Left() + 265 <= 1920);
    }

    void clickThenPressOutsideStartsOver() {
        CaptureHarness h;
        h.click({500, 400});
        QCOMPARE(h.w->sState, kivo::kStateMove);
        QCOMPARE(shape(*h.w), QRectF(500, 400, 0, 0));
        QCOMPARE(QPointF(h.w->Picture1.Left(), h.w->Picture1.Top()), QPointF(235, 404));
        QVERIFY(h.w->toolbar()->isVisible() && !h.w->LblPos.Visible() && !h.w->Image1[0].Visible());
        h.select({100, 100}, {300, 200});
        h.press(300, 130); // the right edge is outside
        QCOMPARE(h.w->sState, kivo::kStateDraw);
        QVERIFY(!h.w->Shape1.Visible() && !h.w->Image1[3].Visible() && !h.w->LblPos.Visible());
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Default));
        h.move(400, 260);
        QCOMPARE(shape(*h.w), QRectF(300, 130, 100, 130));
        h.release(400, 260);
        QCOMPARE(h.w->sState, kivo::kStateMove);
    }

    void moveSelection_data() {
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPointF>("expected");
        // A 200 x 100 selection at (1500, 500), pressed at (1600, 550).
        QTest::newRow("free") << QPoint(1620, 570) << QPointF(1520, 520);
        QTest::newRow("right edge") << QPoint(1900, 550) << QPointF(1720, 500);
        QTest::newRow("left edge") << QPoint(50, 550) << QPointF(0, 500);
        QTest::newRow("top edge") << QPoint(1600, 10) << QPointF(1500, 0);
        QTest::newRow("bottom-right") << QPoint(1910, 1075) << QPointF(1720, 980);
    }
    void moveSelection() {
        QFETCH(QPoint, to);
        QFETCH(QPointF, expected);
        CaptureHarness h;
        h.select({1500, 500}, {1700, 600});
        h.press(1600, 550);
        QVERIFY(!h.w->Picture1.Visible());
        h.move(1610, 560);
        h.move(to.x(), to.y());
        QCOMPARE(shape(*h.w), QRectF(expected, QSizeF(200, 100)));
        QCOMPARE(h.w->lblPosWidget()->text(), QStringLiteral("200x100"));
        QCOMPARE(h.w->LblPos.Left(), float(expected.x() + 2));
        QCOMPARE(h.w->Image1[0].Left(), float(expected.x() - 2));
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::SizeAll));
        h.release(to.x(), to.y());
        QCOMPARE(QPointF(h.w->sngStartX, h.w->sngStartY), expected);
        QCOMPARE(h.w->Picture1.Left(), qMax(0.0f, float(expected.x() - 65)));
    }

    void pointerShapes() {
        CaptureHarness h;
        h.select({100, 100}, {300, 200});
        const int handles[8] = {8, 7, 6, 9, 6, 7, 8, 9};
        for (int i = 0; i < 8; ++i) {
            h.move(onHandle(*h.w, i).x(), onHandle(*h.w, i).y());
            QCOMPARE(h.fakes.pointer.value(), handles[i]);
            QCOMPARE(shape(*h.w), QRectF(100, 100, 200, 100)); // pointing changes nothing
        }
        // Strictly inside means 100 < x < 300 and 100 < y < 200.
        const std::pair<QPoint, int> at[] = {
            {{102, 197}, int(PointerShape::SizeAll)},   {{100, 130}, int(PointerShape::Crosshair)},
            {{200, 150}, int(PointerShape::SizeAll)},   {{150, 100}, int(PointerShape::Crosshair)},
            {{300, 130}, int(PointerShape::Crosshair)}, {{150, 200}, int(PointerShape::Crosshair)}};
        for (const auto& [p, pointer] : at) {
            h.move(p.x(), p.y());
            QCOMPARE(h.fakes.pointer.value(), pointer);
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
        QTest::newRow("5") << 5 << QPoint(10, 230) << L << QRectF(100, 100, 200, 130);
        QTest::newRow("6") << 6 << QPoint(350, 260) << L << QRectF(100, 100, 250, 160);
        QTest::newRow("7") << 7 << QPoint(400, 20) << L << QRectF(100, 100, 300, 100);
        QTest::newRow("6 shrinking") << 6 << QPoint(150, 120) << L << QRectF(100, 100, 50, 20);
        QTest::newRow("5 zero height") << 5 << QPoint(200, 100) << L << QRectF(100, 100, 200, 0);
        QTest::newRow("6 right button")
            << 6 << QPoint(350, 260) << int(Qt::RightButton) << QRectF(100, 100, 250, 160);
        QTest::newRow("0 middle") << 0 << QPoint(80, 90) << int(Qt::MiddleButton)
                                  << QRectF(82, 92, 220, 110);
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
        h.w->Picture2.show();
        const auto b = Qt::MouseButton(button);
        const QPoint start = onHandle(*h.w, index);
        h.press(start.x(), start.y(), b);
        QCOMPARE(h.w->sDrag, kivo::kDragStart);
        QVERIFY(!h.w->Picture1.Visible() && !h.w->Picture2.Visible());
        h.move(700, 500); // moves reach the handle wherever the pointer is
        h.move(cursor.x(), cursor.y());
        QCOMPARE(shape(*h.w), expected);
        QCOMPARE(h.w->lblPosWidget()->text(),
                 QStringLiteral("%1x%2").arg(expected.width()).arg(expected.height()));
        QCOMPARE(QPointF(h.w->sngX2, h.w->sngY2), QPointF(300, 200)); // the window saw no move
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
        QVERIFY(h.w->Picture1.Visible() && !h.w->Picture2.Visible() && !h.w->isUnloaded());
        QCOMPARE(h.w->Picture1.Left(), qBound(0.0f, r - 265, 1920.0f - 265));
        h.move(600, 600); // afterwards, moves reach the window again
        QCOMPARE(h.w->sngX2, 600.0f);
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
        QCOMPARE(h.w->sngStartX, 152.0f);
        h.move(250, 150);
        QCOMPARE(shape(*h.w), QRectF(252, 100, 50, 100));
        h.release(250, 150);
        // Each drag of the top handle moves the bottom edge 2 pixels.
        for (int y : {90, 70}) {
            s = onHandle(*h.w, 1);
            h.drag(s, {s.x(), y - 10}, Qt::LeftButton, 2);
        }
        QCOMPARE(shape(*h.w), QRectF(252, 62, 50, 142));
        // A double-click on a handle starts no drag and ends nothing.
        QSignalSpy unloaded(h.w.data(), &frmCapture::unloaded);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.w->Image1[6].widget(), &dbl);
        QCOMPARE(h.w->sDrag, kivo::kDragStop);
        QCOMPARE(unloaded.count(), 0);
        // With annotations the handles are locked; the release still places the strip.
        h.w->bTool = true;
        h.w->HistoryPush();
        h.w->Picture1.hide();
        s = onHandle(*h.w, 6);
        h.drag(s, {400, 300});
        QCOMPARE(shape(*h.w), QRectF(252, 62, 50, 142));
        QVERIFY(h.w->bTool && h.w->lngCount == 2 && h.w->Picture1.Visible());
        // After undoing them all, a press on a handle drops the redo steps and the tool.
        h.w->HistoryPush();
        h.w->Undo();
        h.w->Undo();
        QCOMPARE(std::pair(h.w->lngCount, h.w->lngMax), std::pair(1, 3));
        h.press(s.x(), s.y());
        QVERIFY(!h.w->bTool);
        QCOMPARE(std::pair(h.w->lngCount, h.w->lngMax), std::pair(1, 1));
        h.move(400, 300);
        QCOMPARE(shape(*h.w), QRectF(252, 62, 148, 238));
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
        QCOMPARE(w.lblPosWidget()->text(), QStringLiteral("0x0"));
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
        const std::pair<QRectF, QPointF> strips[] = {
            {{500, 300, 400, 200}, {635, 504}},  {{500, 851, 400, 200}, {635, 1021}},
            {{500, 850, 400, 200}, {635, 1054}}, {{0, 100, 100, 50}, {0, 154}},
            {{10, 1000, 100, 70}, {0, 1040}},    {{300.5, 851.25, 200, 200}, {235.5, 1021.25}}};
        for (const auto& [sel, at] : strips) {
            set(sel);
            QCOMPARE(QPointF(w.Picture1.Left(), w.Picture1.Top()), at);
        }
        QCOMPARE(w.Picture1.widget()->pos(), QPoint(236, 1021));
        // Longer than the screen, a moved edge ends on the screen's far edge.
        QCOMPARE(geometry::movedEdge(0, 500, 510, 2000, 1920), -80.0f);
    }

    void chromeAtScale_data() {
        QTest::addColumn<float>("s");
        QTest::addColumn<float>("handle2");
        QTest::addColumn<float>("panelTop");
        QTest::newRow("1.5") << 1.5f << 896.0f << 549.5f;
        QTest::newRow("2") << 2.0f << float(900 - 8 / 1.5) << 566.0f;
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
        QCOMPARE(w.LblPos.Left(), 500 + 2 * s);
        QCOMPARE(w.lblInfo.Top(), w.LblPos.Top() + w.LblPos.Height() + 2 * s);
        QCOMPARE(QFontInfo(w.lblPosWidget()->font()).pixelSize(), px(14));
        QCOMPARE(w.TextEdit.Height(), 16 * s);
        clickButton(h, kivo::kButtonArrow);
        QTEST(w.Picture2.Top(), "panelTop");
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
                QVERIFY(h.w->Picture1.Visible() && h.w->sDrag.isEmpty());
            }
        h.drag({150, 150}, {250, 300}, Qt::MiddleButton);
        QCOMPARE(shape(*h.w), QRectF(100, 100, 200, 100));
        QCOMPARE(h.w->sState, kivo::kStateMove);
        QVERIFY(!h.w->Picture1.Visible() && !h.w->isUnloaded());
        QCOMPARE(h.fakes.clipboard.sets, 0);
        // A right press inside or outside discards the selection and keeps the window.
        for (QPoint at : {QPoint(200, 150), QPoint(600, 500)}) {
            if (h.w->sState != kivo::kStateMove)
                h.select({100, 100}, {300, 200});
            h.press(at.x(), at.y(), Qt::RightButton);
            QCOMPARE(h.w->sState, kivo::kStateDraw);
            QVERIFY(!h.w->Shape1.Visible() && !h.w->Picture1.Visible() && h.w->lngKeepOpen == 1);
            h.release(at.x(), at.y(), Qt::RightButton);
            QVERIFY(!h.w->isUnloaded());
        }
        // Without a selection a right click ends the capture on its release.
        QSignalSpy spy(h.w.data(), &frmCapture::unloaded);
        h.press(400, 300, Qt::RightButton);
        QVERIFY(h.w->lngKeepOpen == 0 && !h.w->isUnloaded());
        h.release(400, 300, Qt::RightButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Default));
        QTRY_VERIFY(h.w.isNull());
        // A new capture's first press can arrive as a double-click (Qt paired it with the
        // last press of the one before): it is a press, and its release ends the capture.
        CaptureHarness h2;
        QSignalSpy ended(h2.w.data(), &frmCapture::unloaded);
        const QPointF at(400, 300);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, at, Qt::RightButton, Qt::RightButton,
                        Qt::NoModifier);
        QApplication::sendEvent(h2.w, &dbl);
        QMouseEvent up(QEvent::MouseButtonRelease, at, at, Qt::RightButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(h2.w, &up);
        QCOMPARE(ended.count(), 1);
    }

    void frameAndReadouts() {
        CaptureHarness h;
        QLabel* info = h.w->lblInfoWidget();
        h.move(300, 250);
        QCOMPARE(info->text(), rgbText(FakeScreen::patternPixel(300, 250)));
        h.select({100, 100}, {300, 200});
        h.move(100, 130); // the frame is not read: only the picture under it
        QCOMPARE(info->text(), rgbText(FakeScreen::patternPixel(100, 130)));
        QCOMPARE(h.w->lblInfo.Width(), float(info->sizeHint().width()));
        // The outline covers columns 100..299 and rows 100..199; moving leaves no trace.
        h.move(600, 600);
        const QRgb blue = qRgb(0, 122, 236);
        QImage shot = h.shown();
        for (QPoint p : {QPoint(150, 100), QPoint(299, 130), QPoint(150, 199), QPoint(301, 201)})
            QCOMPARE(shot.pixel(p), blue);
        for (QPoint p : {QPoint(200, 150), QPoint(150, 200), QPoint(300, 130), QPoint(302, 202)})
            QCOMPARE(shot.pixel(p), FakeScreen::patternPixel(p.x(), p.y()));
        h.drag({200, 150}, {260, 250}, Qt::LeftButton, 1);
        h.move(900, 900);
        shot = h.shown();
        QCOMPARE(shot.pixel(150, 100), FakeScreen::patternPixel(150, 100));
        QCOMPARE(shot.pixel(210, 200), blue);
    }

    void toolButtons_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tool");
        QTest::newRow("rectangle") << 7 << kivo::kToolRectangle;
        QTest::newRow("ellipse") << 6 << kivo::kToolEllipse;
        QTest::newRow("text") << 5 << kivo::kToolText;
        QTest::newRow("arrow") << 4 << kivo::kToolArrow;
    }
    void toolButtons() {
        QFETCH(int, index);
        CaptureHarness h;
        h.select(kSelA, kSelB);
        clickButton(h, index);
        QVERIFY(h.w->bTool);
        QTEST(h.w->sTool, "tool");
        QCOMPARE(h.w->lngLastTool, index);
        QVERIFY(h.w->Picture2.Visible() && h.w->stylePanel()->isVisible());
        QCOMPARE(h.w->stylePanel()->PicFont.Visible(), index == kivo::kButtonText);
        QCOMPARE(QPointF(h.w->Picture2.Left(), h.w->Picture2.Top()), QPointF(435, 483));
        QCOMPARE(h.shown().pixel(435, 483), qRgb(128, 128, 255));
        // The same tool again hides the panel, a third time shows it; another keeps it.
        clickButton(h, index);
        QVERIFY(!h.w->Picture2.Visible() && h.w->bTool);
        clickButton(h, index);
        QVERIFY(h.w->Picture2.Visible());
        clickButton(h, index == 7 ? 6 : 7);
        QVERIFY(h.w->Picture2.Visible());
    }

    void toolbarCommands() {
        CaptureHarness h;
        h.select(kSelA, kSelB);
        drawAndPush(h.w, QRect(300, 200, 10, 10), qRgb(0, 255, 0));
        clickButton(h, kivo::kButtonRectangle);
        clickButton(h, kivo::kButtonUndo);
        QCOMPARE(std::pair(h.w->lngLastTool, h.w->lngCount), std::pair(0, 1));
        QCOMPARE(h.shown().pixel(305, 205), FakeScreen::patternPixel(305, 205));
        clickButton(h, kivo::kButtonRectangle); // undo in between: the panel stays shown
        QVERIFY(h.w->Picture2.Visible());
        clickButton(h, kivo::kButtonRedo);
        QCOMPARE(std::pair(h.w->lngLastTool, h.w->lngCount), std::pair(8, 2));
        QCOMPARE(h.shown().pixel(305, 205), qRgb(0, 255, 0));
        // A release off the button is no click; a double-click runs a command once.
        const QPoint exit = centreOf(h.w, h.w->toolbar()->button(kivo::kButtonExit));
        h.drag(exit, exit + QPoint(40, 40));
        QVERIFY(!h.w->isUnloaded());
        h.doubleClick(centreOf(h.w, h.w->toolbar()->button(7)).x(),
                      centreOf(h.w, h.w->toolbar()->button(7)).y());
        QVERIFY(h.w->Picture2.Visible()); // once: a second run would hide it
        QCOMPARE(h.w->lngLastTool, 7);
        // The corner button only records its index.
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonCopyCorner);
        QCOMPARE(h.w->lngLastTool, 9);
        QVERIFY(h.w->Picture1.Visible() && !h.w->isUnloaded() && h.fakes.clipboard.sets == 0);
        StylePanel& panel = *h.w->stylePanel();
        // The strip's and the panel's backgrounds give the arrow and take no press.
        clickButton(h, kivo::kButtonArrow);
        const QPoint stripBack(435 + 108, 454 + 3),
            panelBack = panel.mapTo(h.w.data(), QPoint(2, 20));
        for (QPoint back : {stripBack, panelBack}) {
            h.fakes.pointer.value_ = 2;
            h.move(back.x(), back.y());
            QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Arrow));
            h.click(back);
            h.doubleClick(back.x(), back.y());
            QCOMPARE(h.w->sState, kivo::kStateMove); // a press there reaches no tool
            QVERIFY(h.w->Shape1.Visible() && h.w->Picture2.Visible() && !h.w->bDrawing);
        }
        // Undo past the frozen screen takes the selection, the strip and the panel away.
        clickButton(h, kivo::kButtonUndo);
        clickButton(h, kivo::kButtonUndo);
        QCOMPARE(h.w->sState, kivo::kStateDraw);
        QVERIFY(!h.w->Picture1.Visible() && !h.w->Picture2.Visible() && !h.w->bTool);
        // Exit ends without output, and the window goes away.
        h.select(kSelA, kSelB);
        clickButton(h, kivo::kButtonExit);
        QTRY_VERIFY(h.w.isNull());
        QCOMPARE(h.fakes.clipboard.sets, 0);
        QVERIFY(h.fakes.saveDialog.requests.empty());
    }

    void panelAboveOrBelowTheStrip() {
        // Strip 26 high, panel 37.33 high, 3 apart, 1080 rows: an exact fit goes under.
        const float panel = 560.0f / 15, fits = 1080 - panel - 3 - 26;
        QCOMPARE(geometry::stylePanelTop(fits, 26, panel, 1080), fits + 26 + 3);
        QCOMPARE(geometry::stylePanelTop(fits + 1, 26, panel, 1080), fits + 1 - panel - 3);
        CaptureHarness h(QSize(800, 600)); // and the window asks with its own sizes
        h.select(kSelA, kSelB);
        h.w->Picture1.setTop(600 - 26 - 3 - h.w->Picture2.Height() + 1);
        clickButton(h, kivo::kButtonArrow);
        QCOMPARE(h.w->Picture2.Top(), h.w->Picture1.Top() - 3 - h.w->Picture2.Height());
    }

    void stylePanel() {
        {
            CaptureHarness h;
            h.select(kSelA, kSelB);
            clickButton(h, kivo::kButtonText);
            StylePanel& panel = *h.w->stylePanel();
            // Two rows of eight swatches, each where it belongs and painted in its colour.
            const kivo::Colour palette[16] = {
                0x000000, 0x808080, 0x0000C0, 0x00C0C0, 0x008000, 0x800000, 0x800080, 0x808000,
                0xFFFFFF, 0xC0C0C0, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF0000, 0xFF00FF, 0xFFFF00};
            const QImage shown = h.shown();
            for (int i = 0; i < 16; ++i) {
                const Control& c = panel.Pcolor[size_t(i)];
                QCOMPARE(c.Left(), (480 + 240 * (i % 8)) / 15.0f);
                QCOMPARE(c.Top(), i < 8 ? 0.0f : 220 / 15.0f);
                QCOMPARE(panel.swatch(i)->BackColor(), palette[i]);
                QCOMPARE(shown.pixel(swatchAt(h, i)), kivo::toQColor(palette[i]).rgb());
            }
            // Hovering outlines swatches but never chooses; the current one clears outlines.
            for (int i : {0, 1, 2})
                h.move(swatchAt(h, i).x(), swatchAt(h, i).y());
            QCOMPARE(outlined(panel), (QList<int>{0, 1, 2}));
            h.move(swatchAt(h, 16).x(), swatchAt(h, 16).y());
            QCOMPARE(outlined(panel), QList<int>{});
            h.move(swatchAt(h, 5).x(), swatchAt(h, 5).y());
            QCOMPARE(outlined(panel), QList<int>{5});
            const QPoint gap = panel.PicColor.widget()->mapTo(
                h.w.data(), QPoint(kivo::roundInt(panel.Pcolor[5].Left()) - 1, 5));
            h.move(gap.x(), gap.y());
            QCOMPARE(outlined(panel), QList<int>{});
            QCOMPARE(h.w->currentColour(), kivo::Colour(0xFF));
            // Chosen on the release, on the pressed swatch, even after dragging off.
            h.press(swatchAt(h, 2).x(), swatchAt(h, 2).y());
            QCOMPARE(h.w->currentColour(), kivo::Colour(0xFF));
            h.move(swatchAt(h, 10).x(), swatchAt(h, 10).y());
            h.move(600, 50);
            h.release(600, 50);
            QCOMPARE(h.w->currentColour(), kivo::Colour(0xC0));
            QVERIFY(!h.w->bDrawing);
            QCOMPARE(h.shown().pixel(swatchAt(h, 16)), qRgb(192, 0, 0));
            // The large swatch never changes the colour, pressed or released on.
            h.drag(swatchAt(h, 16), swatchAt(h, 8));
            h.click(swatchAt(h, 16));
            QCOMPARE(h.w->currentColour(), kivo::Colour(0xC0));
            // The size face: a press opens the list, the toggle closes and opens it.
            const QPoint face = centreOf(h.w, panel.face());
            QAbstractItemView* list = panel.combo()->view();
            h.press(face.x(), face.y());
            QVERIFY(list->isVisible() && panel.faceShown() == 2);
            h.w->OpenCombo();
            QVERIFY(!list->isVisible());
            h.w->OpenCombo();
            QVERIFY(list->isVisible());
            QTest::keyClick(list, Qt::Key_End);
            QTest::keyClick(list, Qt::Key_Return);
            QTRY_VERIFY(!list->isVisible());
            h.release(face.x(), face.y());
            QCOMPARE(panel.text1()->text(), QStringLiteral("20"));
            QCOMPARE(h.w->chosenTextSize(), 20.0f);
            // Whatever text the face might get, the text tool still reads a number.
            for (const char* bad : {"abc", "", "-3", "0"}) {
                panel.text1()->setText(QString::fromLatin1(bad));
                QCOMPARE(h.w->chosenTextSize(), 11.0f);
            }
            Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonExit);
        }
        CaptureHarness h; // a new capture starts red, size 11, nothing outlined
        QCOMPARE(h.w->currentColour(), kivo::Colour(0xFF));
        QCOMPARE(h.w->stylePanel()->text1()->text(), QStringLiteral("11"));
        QCOMPARE(outlined(*h.w->stylePanel()), QList<int>{});
    }

    void shapesCommitOnTheSelection() {
        // The rectangle's end is clamped onto the selection; the right button draws too.
        auto h = armed(kivo::kToolRectangle);
        frmCapture* w = h->w;
        const QImage frozen = w->canvas().Picture();
        h->drag({120, 80}, {400, 500});
        QImage expected = withOutline(frozen, QRect(QPoint(120, 80), QPoint(300, 160)), kRed);
        QCOMPARE(w->canvas().Picture(), expected);
        h->drag({130, 90}, {200, 120}, Qt::RightButton);
        expected = withOutline(expected, QRect(QPoint(130, 90), QPoint(200, 120)), kRed);
        QCOMPARE(w->canvas().Picture(), expected);
        QCOMPARE(std::tuple(w->lngCount, w->bDrawing, w->sState),
                 std::tuple(3, false, QString(kivo::kStateMove)));
        QCOMPARE(w->Shape1.pixelRect(), QRect(100, 60, 200, 100));
        // The arrow: tail, tip and barbs, nothing else; a tip clamped onto the corner.
        w->Undo();
        w->Undo();
        w->sTool = kivo::kToolArrow;
        h->drag({150, 100}, {250, 100});
        QImage pic = w->canvas().Picture();
        for (QPoint p : {QPoint(150, 100), QPoint(250, 100), QPoint(240, 105), QPoint(240, 95),
                         QPoint(246, 102), QPoint(244, 97)})
            QCOMPARE(pic.pixel(p), kRed);
        QCOMPARE(inkBounds(pic, kRed), QRect(QPoint(150, 95), QPoint(250, 105)));
        h->drag({120, 80}, {500, 400});
        QCOMPARE(w->canvas().Picture().pixel(300, 160), kRed);
        // The ellipse dragged up-left fits the same box: x 120..179, y 80..139, no fill.
        w->Undo();
        w->Undo();
        w->sTool = kivo::kToolEllipse;
        h->drag({180, 140}, {120, 80});
        pic = w->canvas().Picture();
        QCOMPARE(inkBounds(pic, kRed), QRect(QPoint(120, 80), QPoint(179, 139)));
        QCOMPARE(pic.pixel(150, 110), frozen.pixel(150, 110));
        QCOMPARE(pic.pixel(121, 81), frozen.pixel(121, 81));
        QCOMPARE(w->lngMax, 2); // the undone shapes are gone for good
        // Zero-length shapes still record a step; only the rectangle leaves a dot.
        for (const QString& tool : {kivo::kToolArrow, kivo::kToolEllipse, kivo::kToolRectangle}) {
            w->sTool = tool;
            const QImage before = w->canvas().Picture();
            const int count = w->lngCount;
            h->click({200, 150});
            QCOMPARE(w->lngCount, count + 1);
            QCOMPARE(w->canvas().Picture() == before, tool != kivo::kToolRectangle);
        }
        QCOMPARE(w->canvas().Picture().pixel(200, 150), kRed);
    }

    void pressOnBorderOrOutsideDrawsNothing() {
        for (const QString& tool :
             {kivo::kToolRectangle, kivo::kToolEllipse, kivo::kToolArrow, kivo::kToolText}) {
            auto h = armed(tool);
            const QImage frozen = h->w->canvas().Picture();
            for (QPoint p : {QPoint(100, 100), QPoint(300, 100), QPoint(150, 60), QPoint(150, 160),
                             QPoint(50, 300)}) {
                h->drag(p, {200, 120});
                QCOMPARE(h->w->canvas().Image(), frozen);
                QVERIFY(h->w->lngCount == 1 && !h->w->bDrawing && !h->w->TextEdit.Visible());
                QCOMPARE(h->w->Shape1.pixelRect(), QRect(100, 60, 200, 100));
            }
        }
    }

    void previewLeavesNoTrail() {
        auto h = armed(kivo::kToolRectangle);
        frmCapture* w = h->w;
        const QImage frozen = w->canvas().Picture();
        h->press(150, 115);
        for (QPoint p : {QPoint(290, 150), QPoint(120, 70), QPoint(400, 10), QPoint(280, 150)})
            h->move(p.x(), p.y());
        QSignalSpy spy(&w->canvas(), &Canvas::changed);
        h->move(250, 140);
        // Only the two outlines are repainted.
        const auto ring = [](QPoint b) {
            return QRegion(QRect(QPoint(150, 115), b)) - QRect(QPoint(151, 116), b - QPoint(1, 1));
        };
        QVERIFY(spy.count() > 0);
        for (const QList<QVariant>& args : spy)
            QVERIFY((QRegion(args.at(0).toRect()) - ring({280, 150}) - ring({250, 140})).isEmpty());
        // Mid-drag the picture is untouched, and the screen shows only the last preview.
        QCOMPARE(w->canvas().Picture(), frozen);
        QApplication::processEvents();
        const QImage screen =
            w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage expected =
            withOutline(frozen, QRect(QPoint(150, 115), QPoint(250, 140)), kRed);
        QRegion controls;
        for (QWidget* child : w->findChildren<QWidget*>())
            if (child->isVisible())
                controls += child->geometry();
        int compared = 0;
        for (int y = 61; y < 159; ++y)
            for (int x = 101; x < 299; ++x)
                if (!controls.contains(QPoint(x, y))) {
                    ++compared;
                    if (screen.pixel(x, y) != expected.pixel(x, y))
                        QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
                }
        QVERIFY(compared > 10000);
        h->release(250, 140);
        QCOMPARE(w->canvas().Picture(), expected);
    }

    void outlinesAreComplete() {
        // Whatever parts get repainted, a committed ellipse is the one-pixel ellipse through
        // its box, kept inside it; an arrow has every pixel of its three lines.
        auto h = armed(kivo::kToolEllipse, QSize(800, 780), QRect(20, 20, 760, 740));
        frmCapture* w = h->w;
        for (QRect box :
             {QRect(QPoint(30, 30), QPoint(760, 740)), QRect(QPoint(30, 380), QPoint(760, 392)),
              QRect(QPoint(390, 30), QPoint(397, 740)),
              QRect(QPoint(100, 100), QPoint(104, 103))}) {
            QImage expected = w->canvas().Picture();
            h->drag(box.topLeft(), box.bottomRight());
            QPainter p(&expected);
            p.setPen(QPen(QColor(kRed), 1));
            p.setClipRect(box.adjusted(0, 0, -1, -1));
            p.drawEllipse(QRectF(box.left(), box.top(), box.width() - 2, box.height() - 2));
            p.end();
            QCOMPARE(w->canvas().Picture(), expected);
            w->Undo();
        }
        w->sTool = kivo::kToolArrow;
        for (QLine shaft :
             {QLine(30, 30, 770, 751), QLine(770, 40, 31, 700), QLine(400, 750, 402, 25)}) {
            QImage expected = w->canvas().Picture();
            h->drag(shaft.p1(), shaft.p2());
            struct Painted {
                QPainter* p;
                void Line(float x1, float y1, float x2, float y2, kivo::Colour) {
                    p->drawLine(QPoint(kivo::roundInt(x1), kivo::roundInt(y1)),
                                QPoint(kivo::roundInt(x2), kivo::roundInt(y2)));
                }
            };
            QPainter p(&expected);
            p.setPen(QPen(QColor(kRed), 1));
            Painted target{&p};
            frmCapture::Arrow(target, float(shaft.x1()), float(shaft.y1()), float(shaft.x2()),
                              float(shaft.y2()), 10.0f, 0);
            p.end();
            QCOMPARE(w->canvas().Picture(), expected);
            QCOMPARE(w->canvas().Picture().pixel(shaft.p2()), kRed);
            w->Undo();
        }
        // A large outline's step keeps the outline, not its 4 MB box.
        w->sTool = kivo::kToolRectangle;
        h->drag({40, 40}, {760, 740});
        QVERIFY2(w->arrHistory.stepBytes() < 64 * 1024,
                 qPrintable(QString::number(w->arrHistory.stepBytes())));
        QCOMPARE(w->arrHistory.step(w->lngCount).rect, QRect(QPoint(40, 40), QPoint(760, 740)));
    }

    void oneStepPerShapeAndText() {
        auto h = armed(kivo::kToolRectangle);
        frmCapture* w = h->w;
        const QImage frozen = w->canvas().Picture();
        h->drag({110, 70}, {150, 100});
        const QImage first = w->canvas().Picture();
        w->sTool = kivo::kToolEllipse;
        h->drag({160, 70}, {200, 100});
        w->sTool = kivo::kToolArrow;
        h->drag({210, 70}, {250, 100});
        QCOMPARE(w->lngCount, 4);
        // A new shape after two undos: redo does nothing, undo walks back to the frozen screen.
        w->Undo();
        w->Undo();
        w->sTool = kivo::kToolRectangle;
        h->drag({250, 110}, {290, 150});
        QCOMPARE(std::pair(w->lngCount, w->lngMax), std::pair(3, 3));
        const QImage three = w->canvas().Picture();
        w->Redo();
        QCOMPARE(w->canvas().Picture(), three);
        w->Undo();
        QCOMPARE(w->canvas().Picture(), first);
        w->Redo();
        // The text tool: the first click places the box, a click beside it commits.
        w->sTool = kivo::kToolText;
        h->press(120, 120);
        h->release(130, 125);
        QVERIFY(w->bDrawing && w->TextEdit.Visible() && w->lngCount == 3);
        QCOMPARE(QRectF(w->TextEdit.Left(), w->TextEdit.Top(), w->TextEdit.Width(), 0),
                 QRectF(130, 125, 25, 0));
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("Kivo"));
        h->click({500, 400}); // outside the selection: the text goes to the box's place
        QCOMPARE(std::pair(w->lngCount, w->lngMax), std::pair(4, 4));
        QVERIFY(!w->bDrawing && !w->TextEdit.Visible() && w->textEditWidget()->text().isEmpty());
        const QRect ink = inkBounds(w->canvas().Picture().copy(125, 120, 100, 40), kRed);
        QVERIFY(ink.isValid() && ink.left() >= 5 && ink.top() >= 5);
        // An empty box still records a step.
        h->click({150, 130});
        const QImage before = w->canvas().Picture();
        h->click({140, 100});
        QCOMPARE(w->lngCount, 5);
        QCOMPARE(w->canvas().Picture(), before);
        // After the history is cut back, the next shape's step holds all drawn since.
        w->HistoryTruncate();
        w->sTool = kivo::kToolRectangle;
        h->drag({260, 70}, {290, 100});
        const QImage all = w->canvas().Picture();
        QCOMPARE(w->lngCount, 2);
        w->Undo();
        QCOMPARE(w->canvas().Picture(), frozen);
        w->Redo();
        QCOMPARE(w->canvas().Picture(), all);
    }

    void coloursAndSizesReadAtEachDrawing() {
        auto h = armed(kivo::kToolRectangle);
        frmCapture* w = h->w;
        StylePanel* panel = w->stylePanel();
        const auto pickSize = [panel](const QString& size) {
            panel->combo()->setCurrentIndex(panel->combo()->findText(size));
            panel->Combo1_Click();
        };
        panel->Pcolor_MouseUp(13); // blue
        h->drag({110, 70}, {150, 100});
        panel->Pcolor_MouseUp(12); // green
        h->drag({160, 70}, {200, 100});
        QCOMPARE(inkBounds(w->canvas().Picture(), qRgb(0, 0, 255)), QRect(110, 70, 41, 31));
        QCOMPARE(inkBounds(w->canvas().Picture(), qRgb(0, 255, 0)), QRect(160, 70, 41, 31));
        // Text placed in red at 11 and committed in blue: drawn in what is current then.
        w->sTool = kivo::kToolText;
        std::vector<qreal> boxSizes;
        const auto commitText = [&](QPoint at, const QString& size) {
            panel->Pcolor_MouseUp(10);
            pickSize(QStringLiteral("11"));
            h->click(at);
            QTest::keyClicks(w->textEditWidget(), QStringLiteral("HH"));
            panel->Pcolor_MouseUp(13);
            pickSize(size);
            h->click(at - QPoint(10, 10));
            boxSizes.push_back(w->textEditWidget()->font().pointSizeF());
            return w->canvas().Picture().copy(QRect(at, QSize(60, 50)));
        };
        const QImage small = commitText({120, 105}, QStringLiteral("11")),
                     large = commitText({200, 105}, QStringLiteral("20"));
        QCOMPARE(boxSizes, (std::vector<qreal>{11, 20}));
        QVERIFY(!inkBounds(small, kRed).isValid() && !inkBounds(large, kRed).isValid());
        const QRect s = inkBounds(small, qRgb(0, 0, 255)), l = inkBounds(large, qRgb(0, 0, 255));
        QVERIFY(s.isValid() && l.height() > s.height() * 3 / 2);
    }

    void textBox() {
        auto h = armed(kivo::kToolText);
        frmCapture* w = h->w;
        h->click({150, 100});
        QCOMPARE(w->TextEdit.Width(), 25.0f);
        QVERIFY(w->textEditWidget()->hasFocus());
        QFont f = w->font();
        f.setPointSizeF(11);
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("i"));
        QCOMPARE(w->TextEdit.Width(), 25.0f); // narrower text: no change
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("WWWWWW"));
        const float widest = float(QFontMetrics(f).horizontalAdvance(QStringLiteral("iWWWWWW")));
        QCOMPARE(w->TextEdit.Width(), widest); // exactly the text, no margin
        QTest::keyClick(w->textEditWidget(), Qt::Key_Backspace);
        QCOMPARE(w->TextEdit.Width(), widest); // never narrower
        h->click({250, 150});
        // Placed unclamped near the screen's corner; committed by another button outside.
        h->press(150, 100);
        h->release(630, 475);
        QCOMPARE(QPointF(w->TextEdit.Left(), w->TextEdit.Top()), QPointF(630, 475));
        QCOMPARE(w->TextEdit.Width(), 25.0f);
        QInputMethodEvent ime; // typed through an input method
        ime.setCommitString(QStringLiteral("截图"));
        QCoreApplication::sendEvent(w->textEditWidget(), &ime);
        QVERIFY(w->TextEdit.Width() > 25);
        h->click({20, 20}, Qt::RightButton);
        QCOMPARE(w->lngCount, 3);
        QVERIFY(!w->isUnloaded());
        const QRect ink = inkBounds(w->canvas().Picture().copy(600, 440, 40, 40), kRed);
        QVERIFY(ink.isValid() && ink.left() >= 30 && ink.top() >= 35);
        // Another tool while the box is open: a press outside starts nothing, its release
        // draws from the press that placed the box, and the box stays open.
        w->Undo();
        w->Undo();
        h->press(150, 100);
        h->release(160, 110);
        w->sTool = kivo::kToolRectangle;
        h->press(50, 300);
        h->move(260, 140);
        h->release(260, 140);
        QVERIFY(w->lngCount == 2 && !w->bDrawing && w->TextEdit.Visible());
        QCOMPARE(inkBounds(w->canvas().Picture(), kRed), QRect(QPoint(150, 100), QPoint(260, 140)));
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("ok"));
        w->sTool = kivo::kToolText;
        h->click({280, 150});
        QVERIFY(w->lngCount == 3 && !w->TextEdit.Visible());
    }

    void textShownWhereDrawn_data() {
        QTest::addColumn<int>("size");
        for (int size : {6, 11, 20})
            QTest::addRow("%d pt", size) << size;
    }
    void textShownWhereDrawn() {
        // The text's ink while typed covers the same pixels as once drawn.
        QFETCH(int, size);
        auto h = armed(kivo::kToolText);
        frmCapture* w = h->w;
        QImage grey(640, 480, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        w->canvas().blit(QPoint(0, 0), grey);
        w->canvas().commitImage();
        w->stylePanel()->combo()->setCurrentIndex(
            w->stylePanel()->combo()->findText(QString::number(size)));
        w->stylePanel()->Combo1_Click();
        h->click({150, 100});
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("Wjg|"));
        const QImage typing = h->shown();
        h->click({250, 150});
        const auto ink = [](const QImage& img) {
            QRect box;
            for (int y = 80; y < 160; ++y)
                for (int x = 140; x < 300; ++x)
                    if (qRed(img.pixel(x, y)) - qGreen(img.pixel(x, y)) > 180)
                        box |= QRect(x, y, 1, 1);
            return box;
        };
        const QRect shown = ink(typing), burnt = ink(w->canvas().Picture());
        QVERIFY(burnt.width() > 5 && burnt.height() > 3);
        QVERIFY(shown.marginsAdded(QMargins(1, 1, 1, 1)).contains(burnt) &&
                burnt.marginsAdded(QMargins(1, 1, 1, 1)).contains(shown));
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
        w->canvas().Cls(); // Cls after a restore shows the restored picture
        QCOMPARE(w->canvas().Image(), shown[3]);
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
        // Truncate keeps the frozen screen only and leaves the picture; the next step holds
        // everything since the frozen screen.
        w->HistoryTruncate();
        QCOMPARE(std::tuple(w->lngCount, w->lngMax, w->arrHistory.upperBound()),
                 std::tuple(1, 1, 1));
        QCOMPARE(w->canvas().Picture(), shown[2]);
        w->Redo();
        QCOMPARE(w->lngCount, 1);
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

    void undoPastTheFrozenScreenDropsTheSelection() {
        CaptureHarness h(QSize(640, 480));
        h.select(QPoint(100, 100), QPoint(300, 200));
        h.w->bTool = true;
        drawAndPush(h.w, QRect(120, 120, 10, 10), kRed);
        const QImage annotated = h.w->canvas().Picture();
        h.w->Undo();
        QCOMPARE(h.w->sState, kivo::kStateMove);
        h.w->Undo();
        QCOMPARE(std::tuple(h.w->lngCount, h.w->lngMax, h.w->sState, h.w->bTool),
                 std::tuple(1, 2, QString(kivo::kStateDraw), false));
        QVERIFY(!h.w->Shape1.Visible() && !h.w->LblPos.Visible() && !h.w->lblInfo.Visible());
        for (const Control& handle : h.w->Image1)
            QVERIFY(!handle.Visible());
        QCOMPARE(QSizeF(h.w->Shape1.Width(), h.w->Shape1.Height()), QSizeF(0, 0));
        QCOMPARE(h.shown(), FakeScreen::pattern(QSize(640, 480)));
        h.w->Redo();
        QCOMPARE(h.w->canvas().Picture(), annotated);
        h.select({10, 10}, {50, 40});
        QCOMPARE(h.w->Shape1.Width(), 40.0f);
    }

    void doubleClickCopies_data() {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("copies");
        const QPoint a(100, 50), b(400, 250);
        const int L = Qt::LeftButton;
        QTest::newRow("down-right") << a << b << QPoint(200, 150) << L << true;
        QTest::newRow("up-left, left edge") << b << a << QPoint(100, 80) << L << true;
        QTest::newRow("small") << QPoint(10, 20) << QPoint(60, 45) << QPoint(59, 25) << L << true;
        QTest::newRow("no selection") << a << a << QPoint(200, 150) << L << false;
        QTest::newRow("left of it") << a << b << QPoint(99, 150) << L << false;
        QTest::newRow("right edge") << a << b << QPoint(400, 150) << L << false;
        QTest::newRow("bottom edge") << a << b << QPoint(200, 250) << L << false;
        QTest::newRow("right button")
            << a << b << QPoint(200, 150) << int(Qt::RightButton) << false;
    }
    void doubleClickCopies() {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QPoint, click);
        QFETCH(bool, copies);
        QFETCH(int, button);
        CaptureHarness h;
        if (from != to)
            h.select(from, to);
        h.doubleClick(click.x(), click.y(), Qt::MouseButton(button));
        QCOMPARE(h.fakes.clipboard.sets, copies ? 1 : 0);
        const QRect sel(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                        QSize(std::abs(to.x() - from.x()), std::abs(to.y() - from.y())));
        if (copies) // pixel (0, 0) is screen pixel (Left, Top); no frame, read-out or handle
            QCOMPARE(h.fakes.clipboard.image(), screenCrop(sel));
        if (button == Qt::LeftButton)
            QCOMPARE(!h.w || h.w->isUnloaded(), copies);
    }

    void copyHoldsThePictureOnly() {
        // Strip and panel stand inside the selection; a rectangle is drawn and text is still
        // being typed when the copy button is clicked: the copy holds the rectangle and the
        // text as its commit draws it, and no panel, box, frame or handle.
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
        QVERIFY(h.fakes.saveDialog.requests.empty());
    }

    void grabOfRectangles_data() {
        QTest::addColumn<QRect>("edges"); // left, top, right, bottom as x, y, width, height
        QTest::addColumn<QSize>("size");  // an empty clipboard when zero
        QTest::newRow("plain") << QRect(100, 50, 400, 250) << QSize(300, 200);
        QTest::newRow("empty") << QRect(100, 100, 100, 300) << QSize(0, 0);
        QTest::newRow("inverted") << QRect(300, 300, 100, 100) << QSize(0, 0);
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
        const QImage got = h.fakes.clipboard.image();
        QCOMPARE(got.size(), size);
        if (!size.isEmpty()) {
            QImage expected(size, QImage::Format_RGB32);
            expected.fill(Qt::black); // nothing beyond the screen
            QPainter(&expected).drawImage(0, 0, screenCrop(QRect(edges.topLeft(), size)));
            QCOMPARE(got, expected);
        }
    }

    void eventsDuringACopyNeverEndTheWindowUnderIt() {
        // Clicks queued while a copy runs (a busy machine) are handled after it, on a
        // window that has already ended.
        CaptureHarness h(QSize(800, 600));
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
        QCOMPARE(ended.count(), 1);
        QCOMPARE(h.fakes.clipboard.sets, 1);
        QCOMPARE(h.fakes.clipboard.image(), screenCrop(QRect(100, 300, 600, 290), {800, 600}));
    }

    void saveButton() {
        // Cancelled: the area grabbed before the dialog, with strip, panel and frame back in
        // place while it runs, stays on the clipboard.
        for (const bool panel : {true, false}) {
            CaptureHarness h(QSize(800, 600));
            h.select({100, 300}, {700, 590});
            clickButton(h, kivo::kButtonRectangle);
            if (!panel)
                clickButton(h, kivo::kButtonRectangle);
            std::tuple<bool, bool, bool, int> during;
            h.fakes.saveDialog.onAsk = [&] {
                during = {h.w->Picture1.Visible(), h.w->Picture2.Visible(), h.w->Shape1.Visible(),
                          h.fakes.clipboard.sets};
            };
            clickButton(h, kivo::kButtonSave);
            QTRY_VERIFY(h.w.isNull());
            QCOMPARE(during, std::tuple(true, panel, true, 1));
            QCOMPARE(h.fakes.saveDialog.requests.size(), size_t(1));
            QCOMPARE(h.fakes.clipboard.clears, 0);
            QCOMPARE(h.fakes.clipboard.image(), screenCrop(QRect(100, 300, 600, 290), {800, 600}));
        }
        // The window manager closes the capture while the dialog runs: the window outlives
        // the save, which writes its file.
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
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Default));
        QTRY_VERIFY(h.w.isNull());
    }

    void saveOfAnEmptySelection() {
        // A click without a drag selects nothing: the save names the fault and writes nothing.
        QTemporaryDir dir;
        CaptureHarness h(QSize(640, 480));
        h.click({300, 200});
        h.fakes.saveDialog.answers = {dir.filePath("empty.png")};
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonSave);
        QCOMPARE(h.fakes.saveDialog.requests.size(), size_t(1));
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
        QCOMPARE(h.fakes.messageBox.shown[0].title, QStringLiteral("错误"));
        QVERIFY(!QFile::exists(dir.filePath("empty.png")));
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Default));
    }

    void saveAsks() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        for (const bool pictures : {true, false}) {
            if (pictures)
                QDir(home.path()).mkdir("Pictures");
            else
                QDir(home.filePath("Pictures")).removeRecursively();
            CaptureHarness h(QSize(640, 480), false);
            h.fakes.clipboard.image_ = screenCrop(QRect(0, 0, 20, 10));
            h.w->CutdSave(); // the fake answers nothing: cancelled
            const SaveDialogRequest& r = h.fakes.saveDialog.requests.at(0);
            QCOMPARE(r.initialDir, pictures ? home.filePath("Pictures") : home.path());
            QCOMPARE(r.title, QStringLiteral("保存为"));
            QCOMPARE(
                r.filters.join('|'),
                QStringLiteral(
                    "JPEG文件(*.jpg;*.jpeg) (*.jpg)|PNG文件(*.PNG) (*.PNG)|位图文件(*.bmp) (*.bmp)|"
                    "GIF文件(*.gif) (*.gif)|TIFF文件(*.TIFF) (*.tiff)|所有文件(*.*) (*.*)"));
            QCOMPARE(std::pair(r.selectedFilter, r.defaultSuffix),
                     std::pair(0, QStringLiteral("PNG")));
            QCOMPARE(h.fakes.clipboard.clears, 0);
            QVERIFY(h.fakes.messageBox.shown.empty());
        }
        qputenv("HOME", oldHome);
    }

    void saveWritesTheTypedFormat_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format"); // empty: not saved
        QTest::newRow("jpg") << "a.jpg" << QByteArray("jpeg");
        QTest::newRow("PNG, clipboard taken") << "b.PNG" << QByteArray("png");
        QTest::newRow("Gif") << "c.Gif" << QByteArray("gif");
        QTest::newRow("tif") << "d.tif" << QByteArray("tiff");
        QTest::newRow("BMP") << "e.BMP" << QByteArray("bmp");
        QTest::newRow("two dots") << "f.png.jpg" << QByteArray("jpeg");
        QTest::newRow("trailing dot") << "i." << QByteArray();
        QTest::newRow("missing folder") << "no/such/j.png" << QByteArray();
    }
    void saveWritesTheTypedFormat() {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        CaptureHarness h(QSize(1920, 1080), false);
        QImage area(64, 48, QImage::Format_RGB32); // 48 colours: a GIF keeps them exactly
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                area.setPixel(x, y, qRgb(x / 8 * 30, y / 8 * 40, 200));
        h.w->canvas().blit(QPoint(10, 20), area);
        h.w->ScrnCap(10, 20, 74, 68);
        // Another program takes the clipboard while the dialog is open: the save still
        // writes the grabbed area and leaves the other program's data alone.
        const bool taken = name.startsWith('b');
        if (taken)
            h.fakes.clipboard.image_ = screenCrop(QRect(0, 0, 5, 5)),
            h.fakes.clipboard.ours = false;
        const QString path = dir.filePath(name);
        h.fakes.saveDialog.answers.push_back(path);
        h.w->CutdSave();
        QCOMPARE(h.fakes.pointer.value(), 0);
        if (format.isEmpty()) { // the capture is gone: the clipboard keeps the picture
            QCOMPARE(h.fakes.messageBox.shown.size(), size_t(1));
            QCOMPARE(h.fakes.messageBox.shown[0].title, QStringLiteral("错误"));
            QVERIFY(!QFile::exists(path));
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

    void realSaveDialog() {
        QTemporaryDir dir;
        for (const bool accept : {true, false}) {
            QStringList shown;
            QString title, selected, folder;
            bool confirms = true, native = true;
            QTimer::singleShot(0, [&] {
                QFileDialog* d = nullptr;
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (qobject_cast<QFileDialog*>(w) && w->isVisible())
                        d = qobject_cast<QFileDialog*>(w);
                QVERIFY(d);
                const auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                for (int i = 0; combo && i < combo->count(); ++i)
                    shown << combo->itemText(i);
                title = d->windowTitle();
                selected = d->selectedNameFilter();
                folder = d->directory().absolutePath();
                confirms = !d->testOption(QFileDialog::DontConfirmOverwrite);
                native = !d->testOption(QFileDialog::DontUseNativeDialog);
                d->selectFile(dir.filePath(QStringLiteral("shot")));
                accept ? static_cast<QDialog*>(d)->accept() : d->reject();
            });
            SaveDialogRequest r;
            r.title = QStringLiteral("保存为");
            r.filters = QStringList{QStringLiteral("JPEG文件(*.jpg;*.jpeg) (*.jpg)"),
                                    QStringLiteral("PNG文件(*.PNG) (*.PNG)")};
            r.selectedFilter = 1;
            r.defaultSuffix = QStringLiteral("PNG");
            r.initialDir = dir.path();
            QtSaveDialog dialog;
            const std::optional<QString> name = dialog.ask(r);
            QCOMPARE(title, QStringLiteral("保存为"));
            QCOMPARE(shown, (QStringList{QStringLiteral("JPEG文件(*.jpg;*.jpeg)"),
                                         QStringLiteral("PNG文件(*.PNG)")}));
            QCOMPARE(selected, QStringLiteral("PNG文件(*.PNG)"));
            QCOMPARE(folder, QDir(dir.path()).absolutePath());
            QVERIFY(!confirms && !native);
            QCOMPARE(name, accept ? std::optional(dir.filePath(QStringLiteral("shot.PNG")))
                                  : std::nullopt);
        }
    }
};

QTEST_MAIN(TestCapture)
#include "tst_capture.moc"
