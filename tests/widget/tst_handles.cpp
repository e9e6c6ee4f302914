// Resizing the selection with its eight handles: pointer shapes, the resize table, the
// lock while annotations exist, and the routing of every move of a drag to its handle.
#include "CaptureHarness.h"

#include <QLabel>
#include <QtTest>

namespace {
QRectF shape(const frmCapture& w) {
    return QRectF(w.Shape1.Left(), w.Shape1.Top(), w.Shape1.Width(), w.Shape1.Height());
}
// A pixel inside handle i (its widget's centre).
QPoint onHandle(const frmCapture& w, int i) {
    return w.Image1[size_t(i)].widget()->geometry().center();
}

// A capture with the selection (100, 100)-(300, 200) dragged out and released.
struct Selected : CaptureHarness {
    Selected() { select({100, 100}, {300, 200}); }
    // Press on handle i, move through the points, release at the last one.
    void dragHandle(int i, std::initializer_list<QPoint> path, Qt::MouseButton b = Qt::LeftButton) {
        const QPoint start = onHandle(*w, i);
        press(start.x(), start.y(), b);
        QPoint last = start;
        for (const QPoint& p : path) {
            move(p.x(), p.y());
            last = p;
        }
        release(last.x(), last.y(), b);
    }
};
} // namespace

class TestHandles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hoverSetsResizePointer_data();
    void hoverSetsResizePointer();
    void resize_data();
    void resize();
    void dragPastOppositeEdgeKeepsLastValidSize();
    void zeroHeightIsAccepted();
    void twoDragsOfTopHandleMoveBottomEdgeFourPixels();
    void movesGoToTheHandleWhereverThePointerIs();
    void panelsDuringAndAfterDrag();
    void rightButtonResizesLikeLeft();
    void lockedWhileAnnotationsExist();
    void pressAfterUndoDropsRedoAndDisarmsTool();
    void doubleClickOnHandleStartsNoDrag();
};

void TestHandles::hoverSetsResizePointer_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("pointer");
    const int expected[8] = {8, 7, 6, 9, 6, 7, 8, 9};
    for (int i = 0; i < 8; ++i)
        QTest::addRow("handle %d", i) << i << expected[i];
}

void TestHandles::hoverSetsResizePointer() {
    QFETCH(int, index);
    Selected h;
    const QRectF before = shape(*h.w);
    const QString caption = h.w->lblPosWidget()->text();
    const QPoint at = onHandle(*h.w, index);
    h.move(at.x(), at.y());
    QTEST(h.fakes.pointer.value(), "pointer");
    // Pointing changes nothing else.
    QCOMPARE(shape(*h.w), before);
    QCOMPARE(h.w->sDrag, QString());
    QCOMPARE(h.w->lblPosWidget()->text(), caption);
    QVERIFY(h.w->Picture1.Visible());
    // Leaving the handle inside the selection gives the size-all arrow back.
    h.move(200, 150);
    QCOMPARE(h.fakes.pointer.value(), int(PointerShape::SizeAll));
}

void TestHandles::resize_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRectF>("expected");
    QTest::addColumn<QString>("readout");
    // The selection is (100, 100)-(300, 200): L 100, T 100, R 300, B 200.
    QTest::newRow("0 top-left") << 0 << QPoint(80, 90) << QRectF(82, 92, 220, 110) << "220x110";
    QTest::newRow("1 top") << 1 << QPoint(250, 50) << QRectF(100, 52, 200, 150) << "200x150";
    QTest::newRow("2 top-right") << 2 << QPoint(350, 50) << QRectF(100, 52, 252, 150) << "252x150";
    QTest::newRow("3 left") << 3 << QPoint(50, 400) << QRectF(52, 100, 250, 100) << "250x100";
    QTest::newRow("4 bottom-left")
        << 4 << QPoint(50, 260) << QRectF(52, 100, 250, 160) << "250x160";
    QTest::newRow("5 bottom") << 5 << QPoint(10, 230) << QRectF(100, 100, 200, 130) << "200x130";
    QTest::newRow("6 bottom-right")
        << 6 << QPoint(350, 260) << QRectF(100, 100, 250, 160) << "250x160";
    QTest::newRow("7 right") << 7 << QPoint(400, 20) << QRectF(100, 100, 300, 100) << "300x100";
    QTest::newRow("6 shrinking") << 6 << QPoint(150, 120) << QRectF(100, 100, 50, 20) << "50x20";
}

void TestHandles::resize() {
    QFETCH(int, index);
    QFETCH(QPoint, cursor);
    QFETCH(QRectF, expected);
    Selected h;
    const QPoint start = onHandle(*h.w, index);
    h.press(start.x(), start.y());
    QCOMPARE(h.w->sDrag, kivo::kDragStart);
    QCOMPARE(h.w->sngX1, 100.0f);
    QCOMPARE(h.w->sngY2, 200.0f);
    // Several moves: only the last one counts, each is computed from the rectangle at the press.
    h.move((start.x() + cursor.x()) / 2, (start.y() + cursor.y()) / 2);
    h.move(cursor.x(), cursor.y());
    QCOMPARE(shape(*h.w), expected);
    QTEST(h.w->lblPosWidget()->text(), "readout");
    QCOMPARE(h.w->ptNow.x, cursor.x());
    QCOMPARE(h.w->ptNow.y, cursor.y());
    // Handles, read-outs and the move base follow the new rectangle.
    QCOMPARE(h.w->Image1[0].Left(), float(expected.left() - 2));
    QCOMPARE(h.w->Image1[6].Top(), float(expected.bottom() - 2));
    QCOMPARE(h.w->LblPos.Left(), float(expected.left() + 2));
    QCOMPARE(h.w->sngStartX, float(expected.left()));
    QCOMPARE(h.w->sngStartY, float(expected.top()));
    h.release(cursor.x(), cursor.y());
    QCOMPARE(h.w->sDrag, kivo::kDragStop);
    QCOMPARE(shape(*h.w), expected); // nothing is recomputed at the release
    QVERIFY(h.w->Picture1.Visible());
    QCOMPARE(h.w->Picture1.Left(), qMax(0.0f, float(expected.right() - 265)));
}

void TestHandles::dragPastOppositeEdgeKeepsLastValidSize() {
    Selected h;
    const QPoint start = onHandle(*h.w, 3);
    h.press(start.x(), start.y());
    h.move(150, 150);
    QCOMPARE(shape(*h.w), QRectF(152, 100, 150, 100));
    h.move(320, 150); // width would be 300 - 320 = -20
    QCOMPARE(shape(*h.w), QRectF(152, 100, 150, 100));
    QCOMPARE(h.w->Image1[0].Left(), 150.0f);
    QCOMPARE(h.w->sngStartX, 152.0f);
    h.move(250, 150); // back on the valid side: it follows again
    QCOMPARE(shape(*h.w), QRectF(252, 100, 50, 100));
    h.release(250, 150);
    // Past the top edge with the bottom handle.
    const QPoint bottom = onHandle(*h.w, 5);
    h.press(bottom.x(), bottom.y());
    h.move(bottom.x(), 50);
    QCOMPARE(shape(*h.w), QRectF(252, 100, 50, 100));
    h.release(bottom.x(), 50);
}

void TestHandles::zeroHeightIsAccepted() {
    Selected h;
    h.dragHandle(5, {{200, 150}, {200, 100}});
    QCOMPARE(shape(*h.w), QRectF(100, 100, 200, 0));
    QCOMPARE(h.w->lblPosWidget()->text(), QStringLiteral("200x0"));
}

void TestHandles::twoDragsOfTopHandleMoveBottomEdgeFourPixels() {
    Selected h;
    h.dragHandle(1, {{200, 90}, {200, 80}});
    QCOMPARE(h.w->Shape1.Top() + h.w->Shape1.Height(), 202.0f);
    h.dragHandle(1, {{200, 70}, {200, 60}});
    QCOMPARE(h.w->Shape1.Top() + h.w->Shape1.Height(), 204.0f);
    QCOMPARE(h.w->Shape1.Top(), 62.0f);
}

void TestHandles::movesGoToTheHandleWhereverThePointerIs() {
    Selected h;
    const QPoint start = onHandle(*h.w, 6);
    h.press(start.x(), start.y());
    // Far outside the handle, over the frozen picture and inside the selection.
    h.move(700, 500);
    QCOMPARE(shape(*h.w), QRectF(100, 100, 600, 400));
    h.move(150, 150);
    QCOMPARE(shape(*h.w), QRectF(100, 100, 50, 50));
    // The window's own move handling did not run: it would have written the pointer into
    // sngX2/sngY2 and moved or redrawn the selection.
    QCOMPARE(h.w->sngX2, 300.0f);
    QCOMPARE(h.w->sngY2, 200.0f);
    QCOMPARE(h.w->sState, kivo::kStateMove);
    // The release also reaches the handle: the strip comes back under the new rectangle.
    h.release(150, 150);
    QCOMPARE(h.w->sDrag, kivo::kDragStop);
    QVERIFY(h.w->Picture1.Visible());
    QCOMPARE(h.w->Picture1.Top(), 154.0f);
    // Afterwards, moves reach the window again.
    h.move(600, 600);
    QCOMPARE(h.w->sngX2, 600.0f);
}

void TestHandles::panelsDuringAndAfterDrag() {
    Selected h;
    h.w->Picture2.show();
    const QPoint start = onHandle(*h.w, 7);
    h.press(start.x(), start.y());
    QVERIFY(!h.w->Picture1.Visible());
    QVERIFY(!h.w->Picture2.Visible());
    h.move(350, 150);
    QVERIFY(!h.w->Picture1.Visible());
    QVERIFY(h.w->LblPos.Visible()); // the read-outs keep their visibility
    h.release(350, 150);
    QVERIFY(h.w->Picture1.Visible());
    QVERIFY(!h.w->Picture2.Visible());
}

void TestHandles::rightButtonResizesLikeLeft() {
    Selected h;
    h.dragHandle(6, {{320, 220}, {350, 260}}, Qt::RightButton);
    QCOMPARE(shape(*h.w), QRectF(100, 100, 250, 160));
    QVERIFY(!h.w->isUnloaded());
    h.dragHandle(0, {{80, 90}}, Qt::MiddleButton);
    QCOMPARE(shape(*h.w), QRectF(82, 92, 270, 170));
}

void TestHandles::lockedWhileAnnotationsExist() {
    Selected h;
    h.w->bTool = true;
    h.w->HistoryPush(); // an annotation: a second snapshot
    QCOMPARE(h.w->lngCount, 2);
    h.w->Picture1.hide();
    h.dragHandle(6, {{350, 260}});
    QCOMPARE(shape(*h.w), QRectF(100, 100, 200, 100));
    QVERIFY(h.w->bTool);
    QCOMPARE(h.w->lngCount, 2);
    // The release still places the strip and ends the drag word.
    QCOMPARE(h.w->sDrag, kivo::kDragStop);
    QVERIFY(h.w->Picture1.Visible());
    // Pointing at a handle still shows the resize arrow.
    const QPoint at = onHandle(*h.w, 1);
    h.move(at.x(), at.y());
    QCOMPARE(h.fakes.pointer.value(), int(PointerShape::SizeNS));
}

void TestHandles::pressAfterUndoDropsRedoAndDisarmsTool() {
    Selected h;
    h.w->bTool = true;
    h.w->HistoryPush();
    h.w->HistoryPush();
    h.w->Undo();
    h.w->Undo();
    QCOMPARE(h.w->lngCount, 1);
    QCOMPARE(h.w->lngMax, 3);
    QVERIFY(h.w->bTool);
    const QPoint start = onHandle(*h.w, 6);
    h.press(start.x(), start.y());
    QVERIFY(!h.w->bTool);
    QCOMPARE(h.w->lngMax, 1);
    QCOMPARE(h.w->lngCount, 1);
    h.move(350, 260);
    QCOMPARE(shape(*h.w), QRectF(100, 100, 250, 160));
    h.release(350, 260);
}

void TestHandles::doubleClickOnHandleStartsNoDrag() {
    Selected h;
    QSignalSpy unloaded(h.w.data(), &frmCapture::unloaded);
    QWidget* handle = h.w->Image1[6].widget();
    const QPoint at(2, 2);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, handle->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &dbl);
    QCOMPARE(h.w->sDrag, QString());
    QVERIFY(h.w->Picture1.Visible());
    QCOMPARE(unloaded.count(), 0);
}

QTEST_MAIN(TestHandles)
#include "tst_handles.moc"
