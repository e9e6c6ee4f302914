// Dragging out, moving and discarding the selection with the mouse, the colour read-out
// and the pointer shapes, driven through the window's real event routing.
#include "CaptureHarness.h"
#include "toolbar/ToolbarStrip.h"

#include <QFontInfo>
#include <QLabel>
#include <QtTest>

namespace {
QRectF shape(const frmCapture& w) {
    return QRectF(w.Shape1.Left(), w.Shape1.Top(), w.Shape1.Width(), w.Shape1.Height());
}
// Collects the regions the window is asked to repaint.
struct PaintSpy : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};
qint64 area(const QRegion& r) {
    qint64 a = 0;
    for (const QRect& rect : r)
        a += qint64(rect.width()) * rect.height();
    return a;
}
QString rgbText(QRgb c) {
    return QStringLiteral("RGB(%1,%2,%3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}
} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rubberBandQuadrants_data();
    void rubberBandQuadrants();
    void dragAlongTheAnchorRowKeepsZeroSize();
    void clickWithoutMoveLeavesEmptySelection();
    void moveKeepsPressOffset();
    void moveIsClampedToTheScreen_data();
    void moveIsClampedToTheScreen();
    void pressOutsideStartsNewRubberBand();
    void rightClickWithoutSelectionCloses();
    void rightPressInsideDiscardsAndKeepsWindow();
    void rightPressOutsideDiscardsAndKeepsWindow();
    void middleDragInsideMovesNothing();
    void backAndForwardButtonsDoNothing_data();
    void backAndForwardButtonsDoNothing();
    void aDoubleClickWithoutItsFirstPressIsAPress();
    void colourReadoutFollowsPointer();
    void dragsOffTheWindowStayOnIt_data();
    void dragsOffTheWindowStayOnIt();
    void pointerShapes_data();
    void pointerShapes();
    void frameIsPaintedOnTheFrozenScreen();
    void moveRepaintsOnlyWhatChanged();
    void readoutsUseSimplifiedChineseFont();
};

void TestSelection::rubberBandQuadrants_data() {
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRectF>("expected");
    QTest::addColumn<QString>("readout");
    QTest::newRow("down-left") << QPoint(50, 180) << QRectF(50, 100, 50, 80) << "50x80";
    QTest::newRow("down-right") << QPoint(300, 250) << QRectF(100, 100, 200, 150) << "200x150";
    QTest::newRow("up-left") << QPoint(40, 60) << QRectF(40, 60, 60, 40) << "60x40";
    QTest::newRow("up-right") << QPoint(250, 30) << QRectF(100, 30, 150, 70) << "150x70";
    QTest::newRow("one pixel") << QPoint(101, 101) << QRectF(100, 100, 1, 1) << "1x1";
}

void TestSelection::rubberBandQuadrants() {
    QFETCH(QPoint, to);
    QFETCH(QRectF, expected);
    QFETCH(QString, readout);
    CaptureHarness h;
    h.press(100, 100);
    h.move(to.x(), to.y());
    QCOMPARE(shape(*h.w), expected);
    QCOMPARE(h.w->lblPosWidget()->text(), readout);
    QVERIFY(h.w->Shape1.Visible() && h.w->LblPos.Visible() && h.w->lblInfo.Visible());
    QCOMPARE(h.w->LblPos.Left(), float(expected.left() + 2));
    QCOMPARE(h.w->LblPos.Top(), float(expected.top() + 2));
    QCOMPARE(h.w->lblInfo.Top(), h.w->LblPos.Top() + h.w->LblPos.Height() + 2);
    QVERIFY(h.w->Image1[6].Visible());
    QCOMPARE(h.w->Image1[6].Left(), float(expected.right() - 2));
    // The widgets follow the model once the move is handled.
    QCOMPARE(h.w->lblPosWidget()->pos(), QPoint(int(expected.left()) + 2, int(expected.top()) + 2));
    QVERIFY(h.w->lblPosWidget()->isVisible());
    QCOMPARE(h.w->sState, kivo::kStateDraw);
    h.release(to.x(), to.y());
    QCOMPARE(h.w->sState, kivo::kStateMove);
    QCOMPARE(h.w->sngStartX, float(expected.left()));
    QCOMPARE(h.w->sngStartY, float(expected.top()));
    QVERIFY(h.w->Picture1.Visible());
}

void TestSelection::dragAlongTheAnchorRowKeepsZeroSize() {
    CaptureHarness h;
    h.press(100, 100);
    h.move(150, 100);
    h.move(200, 100);
    QCOMPARE(shape(*h.w), QRectF(100, 100, 0, 0));
    h.move(100, 160); // same column: still nothing
    QCOMPARE(shape(*h.w), QRectF(100, 100, 0, 0));
    QCOMPARE(h.w->lblPosWidget()->text(), QStringLiteral("0x0"));
}

void TestSelection::clickWithoutMoveLeavesEmptySelection() {
    CaptureHarness h;
    h.press(500, 400);
    h.release(500, 400);
    QCOMPARE(h.w->sState, kivo::kStateMove);
    QCOMPARE(shape(*h.w), QRectF(500, 400, 0, 0));
    // Right-aligned at the click point, 4 pixels under it.
    QCOMPARE(h.w->Picture1.Left(), 500.0f - 265);
    QCOMPARE(h.w->Picture1.Top(), 404.0f);
    QVERIFY(h.w->Picture1.Visible());
    QVERIFY(h.w->toolbar()->isVisible());
    for (const Control& handle : h.w->Image1)
        QVERIFY(!handle.Visible());
    QVERIFY(!h.w->LblPos.Visible());
    QVERIFY(!h.w->lblInfo.Visible());
}

void TestSelection::moveKeepsPressOffset() {
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    h.press(150, 130);
    QVERIFY(!h.w->Picture1.Visible());
    QCOMPARE(h.w->sngDownX, 150.0f);
    h.move(170, 160);
    h.move(190, 170);
    QCOMPARE(shape(*h.w), QRectF(140, 140, 200, 100));
    QCOMPARE(h.w->lblPosWidget()->text(), QStringLiteral("200x100")); // the size caption stays
    QCOMPARE(h.w->LblPos.Left(), 142.0f);
    QCOMPARE(h.w->Image1[0].Left(), 138.0f);
    QCOMPARE(h.fakes.pointer.value(), int(PointerShape::SizeAll));
    h.release(190, 170);
    QCOMPARE(h.w->sngStartX, 140.0f);
    QCOMPARE(h.w->sngStartY, 140.0f);
    QCOMPARE(h.w->Picture1.Left(), 340.0f - 265);
    QCOMPARE(h.w->Picture1.Top(), 244.0f);
    QVERIFY(h.w->Picture1.Visible());
}

void TestSelection::moveIsClampedToTheScreen_data() {
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPointF>("expected");
    // A 200 x 100 selection at (1500, 500), pressed at (1600, 550).
    QTest::newRow("right edge") << QPoint(1900, 550) << QPointF(1720, 500);
    QTest::newRow("left edge") << QPoint(50, 550) << QPointF(0, 500);
    QTest::newRow("top edge") << QPoint(1600, 10) << QPointF(1500, 0);
    QTest::newRow("bottom edge") << QPoint(1600, 1070) << QPointF(1500, 980);
    QTest::newRow("bottom-right corner") << QPoint(1910, 1075) << QPointF(1720, 980);
}

void TestSelection::moveIsClampedToTheScreen() {
    QFETCH(QPoint, to);
    QFETCH(QPointF, expected);
    CaptureHarness h(QSize(1920, 1080));
    h.select({1500, 500}, {1700, 600});
    h.press(1600, 550);
    h.move(to.x(), to.y());
    QCOMPARE(shape(*h.w), QRectF(expected, QSizeF(200, 100)));
    QCOMPARE(h.w->LblPos.Left(), float(expected.x() + 2));
    h.release(to.x(), to.y());
}

void TestSelection::pressOutsideStartsNewRubberBand() {
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    // The right and bottom edges are outside (exclusive): a press there starts over.
    h.press(300, 130);
    QCOMPARE(h.w->sState, kivo::kStateDraw);
    QVERIFY(!h.w->Shape1.Visible());
    for (const Control& handle : h.w->Image1)
        QVERIFY(!handle.Visible());
    QVERIFY(!h.w->LblPos.Visible());
    QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Default));
    QCOMPARE(h.w->lngKeepOpen, 1);
    h.move(400, 260);
    QCOMPARE(shape(*h.w), QRectF(300, 130, 100, 130));
    QVERIFY(h.w->Shape1.Visible());
    h.release(400, 260);
    QCOMPARE(h.w->sState, kivo::kStateMove);
}

void TestSelection::rightClickWithoutSelectionCloses() {
    CaptureHarness h;
    QSignalSpy spy(h.w.data(), &frmCapture::unloaded);
    h.press(400, 300, Qt::RightButton);
    QCOMPARE(h.w->lngKeepOpen, 0);
    QVERIFY(!h.w->isUnloaded());
    h.release(400, 300, Qt::RightButton);
    QCOMPARE(spy.count(), 1);
    QTRY_VERIFY(h.w.isNull());
}

void TestSelection::rightPressInsideDiscardsAndKeepsWindow() {
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    h.press(200, 150, Qt::RightButton);
    QCOMPARE(h.w->sState, kivo::kStateDraw);
    QCOMPARE(h.w->lngKeepOpen, 1);
    QVERIFY(!h.w->Shape1.Visible());
    QVERIFY(!h.w->Picture1.Visible());
    h.release(200, 150, Qt::RightButton);
    QVERIFY(!h.w->isUnloaded());
    // A second right click, now without a selection, ends the capture.
    QSignalSpy spy(h.w.data(), &frmCapture::unloaded);
    h.press(200, 150, Qt::RightButton);
    h.release(200, 150, Qt::RightButton);
    QCOMPARE(spy.count(), 1);
}

void TestSelection::rightPressOutsideDiscardsAndKeepsWindow() {
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    h.press(600, 500, Qt::RightButton);
    QCOMPARE(h.w->sState, kivo::kStateDraw);
    h.release(600, 500, Qt::RightButton);
    QVERIFY(!h.w->isUnloaded());
}

void TestSelection::backAndForwardButtonsDoNothing_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("at"); // (0, 0): on handle 0
    for (const Qt::MouseButton b : {Qt::BackButton, Qt::ForwardButton}) {
        const char* name = b == Qt::BackButton ? "back" : "forward";
        QTest::addRow("%s outside", name) << b << QPoint(600, 500);
        QTest::addRow("%s inside", name) << b << QPoint(200, 150);
        QTest::addRow("%s on a handle", name) << b << QPoint();
    }
}

void TestSelection::backAndForwardButtonsDoNothing() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, at);
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    if (at.isNull())
        at = h.w->Image1[0].widget()->geometry().center();
    const QRectF before = shape(*h.w);
    h.press(at.x(), at.y(), button);
    h.move(at.x() + 30, at.y() + 20);
    h.release(at.x() + 30, at.y() + 20, button);
    h.doubleClick(at.x(), at.y(), button);
    QCOMPARE(shape(*h.w), before);
    QCOMPARE(h.w->sState, kivo::kStateMove);
    QVERIFY(h.w->Picture1.Visible() && h.w->Shape1.Visible());
    QCOMPARE(h.w->sDrag, QString());
    QVERIFY(!h.w->isUnloaded());
    QCOMPARE(h.fakes.clipboard.sets, 0);
}

void TestSelection::aDoubleClickWithoutItsFirstPressIsAPress() {
    // A capture closed by a right-click, a new one, and a right-click at once at the same
    // place: Qt pairs the presses into a double-click the new window sees alone. It is the
    // new window's first press: with its release, the capture closes.
    CaptureHarness h;
    QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
    const QPointF at(400, 300);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, h.w->mapToGlobal(at), Qt::RightButton,
                       Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(h.w, &second);
    QCOMPARE(h.w->lngKeepOpen, 0);
    QMouseEvent release(QEvent::MouseButtonRelease, at, h.w->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(h.w, &release);
    QCOMPARE(ended.count(), 1);
}

void TestSelection::middleDragInsideMovesNothing() {
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    const QRectF before = shape(*h.w);
    const QPointF toolbarAt(h.w->Picture1.Left(), h.w->Picture1.Top());
    h.press(150, 150, Qt::MiddleButton);
    QCOMPARE(h.w->sngDownX, 150.0f);
    QCOMPARE(h.w->sState, kivo::kStateMove);
    h.move(250, 300);
    QCOMPARE(shape(*h.w), before);
    h.release(250, 300, Qt::MiddleButton);
    QVERIFY(!h.w->isUnloaded());
    QCOMPARE(QPointF(h.w->Picture1.Left(), h.w->Picture1.Top()), toolbarAt);
    QVERIFY(!h.w->Picture1.Visible()); // hidden by the press, not shown by a middle release
}

// A drag can run onto another monitor; what it makes stays on the window, as if the pointer
// had stopped at the window's edge.
void TestSelection::dragsOffTheWindowStayOnIt_data() {
    QTest::addColumn<int>("handle"); // -1: a rubber band from `from`
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("rubber band to the right")
        << -1 << QPoint(1700, 500) << QPoint(2300, 700) << QRectF(1700, 500, 219, 200);
    QTest::newRow("rubber band up and left")
        << -1 << QPoint(100, 100) << QPoint(-300, -50) << QRectF(0, 0, 100, 100);
    QTest::newRow("handle 6 past the corner")
        << 6 << QPoint(300, 200) << QPoint(2500, 1500) << QRectF(100, 100, 1819, 979);
    QTest::newRow("handle 0 past the corner")
        << 0 << QPoint(100, 100) << QPoint(-80, -90) << QRectF(2, 2, 300, 200);
}

void TestSelection::dragsOffTheWindowStayOnIt() {
    QFETCH(int, handle);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRectF, expected);
    CaptureHarness h;
    if (handle >= 0) {
        h.select({100, 100}, {300, 200});
        from = h.w->Image1[size_t(handle)].widget()->geometry().center();
    }
    h.drag(from, to);
    QCOMPARE(shape(*h.w), expected);
    const QPoint held(qBound(0, to.x(), 1919), qBound(0, to.y(), 1079));
    if (handle < 0) // the handles write no read-out
        QCOMPARE(h.w->lblInfoWidget()->text(),
                 rgbText(FakeScreen::patternPixel(held.x(), held.y())));
    // The strip stays reachable on the window.
    QVERIFY(h.w->Picture1.Visible());
    QVERIFY(h.w->Picture1.Left() >= 0 && h.w->Picture1.Left() + h.w->Picture1.Width() <= 1920);
}

void TestSelection::colourReadoutFollowsPointer() {
    CaptureHarness h;
    QLabel* info = h.w->lblInfoWidget();
    h.move(300, 250);
    QCOMPARE(info->text(), rgbText(FakeScreen::patternPixel(300, 250)));
    QVERIFY(!info->isVisible()); // written although hidden
    h.move(301, 250);
    QCOMPARE(info->text(), rgbText(FakeScreen::patternPixel(301, 250)));
    // Also while a tool is armed.
    h.w->bTool = true;
    h.move(640, 700);
    QCOMPARE(info->text(), rgbText(FakeScreen::patternPixel(640, 700)));
    // The frame is not read: only the picture under it.
    h.w->bTool = false;
    h.select({100, 100}, {300, 200});
    h.move(100, 130);
    QCOMPARE(info->text(), rgbText(FakeScreen::patternPixel(100, 130)));
    // The read-out sizes itself to its text.
    QCOMPARE(h.w->lblInfo.Width(), float(info->sizeHint().width()));
}

void TestSelection::pointerShapes_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("pointer");
    // Selection (100, 100) 200 x 100: strictly inside means 100 < x < 300, 100 < y < 200.
    QTest::newRow("inside") << QPoint(200, 150) << int(PointerShape::SizeAll);
    // (Points clear of the handles, which take their own moves.)
    QTest::newRow("just inside") << QPoint(102, 197) << int(PointerShape::SizeAll);
    QTest::newRow("left edge") << QPoint(100, 130) << int(PointerShape::Crosshair);
    QTest::newRow("top edge") << QPoint(150, 100) << int(PointerShape::Crosshair);
    QTest::newRow("right edge") << QPoint(300, 130) << int(PointerShape::Crosshair);
    QTest::newRow("bottom edge") << QPoint(150, 200) << int(PointerShape::Crosshair);
    QTest::newRow("outside") << QPoint(500, 500) << int(PointerShape::Crosshair);
}

void TestSelection::pointerShapes() {
    QFETCH(QPoint, at);
    QFETCH(int, pointer);
    CaptureHarness h;
    QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Crosshair)); // from start-up
    h.select({100, 100}, {300, 200});
    h.move(at.x(), at.y());
    QCOMPARE(h.fakes.pointer.value(), pointer);
}

void TestSelection::frameIsPaintedOnTheFrozenScreen() {
    CaptureHarness h;
    h.select({100, 100}, {300, 200});
    h.move(600, 600); // hover away so nothing else covers the frame's far corner
    const QImage shot = h.shown();
    const QRgb blue = qRgb(0, 122, 236);
    // The outline covers columns 100..299 and rows 100..199.
    QCOMPARE(shot.pixel(150, 100), blue);
    QCOMPARE(shot.pixel(250, 199), blue);
    QCOMPARE(shot.pixel(299, 130), blue);
    QCOMPARE(shot.pixel(150, 199), blue);
    QCOMPARE(shot.pixel(200, 150), FakeScreen::patternPixel(200, 150)); // no fill
    QCOMPARE(shot.pixel(150, 200), FakeScreen::patternPixel(150, 200));
    QCOMPARE(shot.pixel(300, 130), FakeScreen::patternPixel(300, 130));
    // Handle 6 is a 4 x 4 square around the bottom-right corner (298..301, 198..201).
    QCOMPARE(shot.pixel(301, 201), blue);
    QCOMPARE(shot.pixel(302, 202), FakeScreen::patternPixel(302, 202));
    // Moving the selection leaves no trace of the old frame.
    h.press(200, 150);
    h.move(260, 250);
    h.release(260, 250);
    h.move(900, 900);
    const QImage moved = h.shown();
    QCOMPARE(moved.pixel(150, 100), FakeScreen::patternPixel(150, 100));
    QCOMPARE(moved.pixel(100, 130), FakeScreen::patternPixel(100, 130));
    QCOMPARE(moved.pixel(210, 200), blue);
    QCOMPARE(moved.pixel(160, 240), blue);
}

void TestSelection::moveRepaintsOnlyWhatChanged() {
    CaptureHarness h;
    h.select({400, 300}, {1400, 900});
    PaintSpy spy;
    h.w->installEventFilter(&spy);
    QCoreApplication::processEvents();
    spy.painted = QRegion();
    h.press(900, 600);
    h.move(905, 603);
    QCoreApplication::processEvents();
    // The old and the new frame, handles and read-outs; not the 1000 x 600 inside.
    QVERIFY(spy.painted.contains(QPoint(900, 300)));  // old top edge
    QVERIFY(spy.painted.contains(QPoint(900, 303)));  // new top edge
    QVERIFY(spy.painted.contains(QPoint(1404, 700))); // new right edge
    QVERIFY(!spy.painted.contains(QPoint(900, 600)));
    QVERIFY2(area(spy.painted) < 1920 * 1080 / 50, qPrintable(QString::number(area(spy.painted))));
    h.release(905, 603);
}

void TestSelection::readoutsUseSimplifiedChineseFont() {
    CaptureHarness h;
    const QFont f = h.w->lblPosWidget()->font();
    QCOMPARE(f.pointSizeF(), 10.5);
    QVERIFY(f.families().contains(QStringLiteral("宋体")));
    const QString family = QFontInfo(f).family();
    // SimSun itself, or one of the Simplified Chinese faces named after it.
    QVERIFY2(family == QStringLiteral("SimSun") || family.endsWith(QStringLiteral(" SC")),
             qPrintable(family));
    QCOMPARE(h.w->lblInfoWidget()->font(), f);
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
