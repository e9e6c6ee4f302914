// The undo history of the capture window: its index rules, what undo and redo put back,
// dropping the selection when undo passes the frozen screen, and the cost of a step.
#include "CaptureHarness.h"

#include <QPainter>

namespace {
const QString kDraw = kivo::kStateDraw;
const QString kMove = kivo::kStateMove;

// A bag whose snapshots cannot be read back: damaged bytes, or no memory for them.
struct FailingBag : ExcelPropertyBag {
    Result<QImage> ReadP(const QByteArray&) const override {
        return Failure{ErrorNumber::OutOfMemory, QStringLiteral("内存不足")};
    }
};
} // namespace

class TestHistory : public QObject {
    Q_OBJECT

    // Draw a filled square into the window's picture and record it, as a finished
    // annotation does.
    static void drawAndPush(frmCapture* w, QRect r, QRgb colour) {
        w->canvas().setAutoRedraw(true);
        w->canvas().draw(r, [r, colour](QPainter& p) { p.fillRect(r, QColor(colour)); });
        w->HistoryPush();
    }
    static QRgb at(frmCapture* w, int x, int y) { return w->canvas().Picture().pixel(x, y); }

private Q_SLOTS:
    void aSnapshotThatCannotBeRebuiltChangesNothing() {
        // Undo, redo, and a push that must rebuild its base: the error message, the picture
        // and the counters as they were, the window open.
        CaptureHarness h(QSize(640, 480), false);
        drawAndPush(h.w, QRect(10, 10, 5, 5), qRgb(255, 0, 0));
        drawAndPush(h.w, QRect(20, 20, 5, 5), qRgb(0, 255, 0));
        h.w->Undo();
        const QImage shown = h.w->canvas().Picture();
        h.w->objBag = std::make_unique<FailingBag>();
        h.w->Undo();
        h.w->Redo();
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(2));
        QCOMPARE(
            h.fakes.messageBox.shown[0].text,
            QStringLiteral("在恢复图片的过程中发生错误:\r\n\r\n错误号: 7\r\n错误描述: 内存不足"));
        QCOMPARE(h.w->canvas().Picture(), shown);
        QCOMPARE(h.w->lngCount, 2);
        QCOMPARE(h.w->lngMax, 3);
        h.w->arrHistory.forgetShown(); // the next push has to rebuild snapshot 2
        drawAndPush(h.w, QRect(30, 30, 5, 5), qRgb(0, 0, 255));
        QCOMPARE(h.fakes.messageBox.shown.size(), size_t(3));
        QCOMPARE(h.w->lngCount, 2);
        QCOMPARE(h.w->lngMax, 2);
        QVERIFY(!h.w->isUnloaded());
    }

    void startHoldsTheFrozenScreen() {
        CaptureHarness h(QSize(640, 480), false);
        QCOMPARE(h.w->lngCount, 1);
        QCOMPARE(h.w->lngMax, 1);
        QCOMPARE(h.w->arrHistory.upperBound(), 1);
        QCOMPARE(h.w->arrHistory.snapshot(1, *h.w->objBag).value(),
                 FakeScreen::pattern(QSize(640, 480)));
    }

    void redoAtTheTopDoesNothing() {
        CaptureHarness h(QSize(640, 480), false);
        h.w->Redo();
        QCOMPARE(h.w->lngCount, 1);
        drawAndPush(h.w, QRect(10, 10, 5, 5), qRgb(255, 0, 0));
        QCOMPARE(h.w->lngCount, 2);
        QCOMPARE(h.w->lngMax, 2);
        QCOMPARE(h.w->arrHistory.upperBound(), 2);
        const QImage before = h.w->canvas().Picture();
        h.w->Redo();
        QCOMPARE(h.w->lngCount, 2);
        QCOMPARE(h.w->canvas().Picture(), before);
    }

    void undoAndRedoWalkThePictures() {
        CaptureHarness h(QSize(640, 480), false);
        const QImage frozen = h.w->canvas().Picture();
        drawAndPush(h.w, QRect(10, 10, 20, 20), qRgb(255, 0, 0));
        const QImage one = h.w->canvas().Picture();
        drawAndPush(h.w, QRect(20, 20, 20, 20), qRgb(0, 255, 0));
        const QImage two = h.w->canvas().Picture();
        h.w->Undo();
        QCOMPARE(h.w->lngCount, 2);
        QCOMPARE(h.w->canvas().Picture(), one);
        h.w->Undo();
        QCOMPARE(h.w->lngCount, 1);
        QCOMPARE(h.w->canvas().Picture(), frozen);
        h.w->Redo();
        h.w->Redo();
        QCOMPARE(h.w->lngCount, 3);
        QCOMPARE(h.w->lngMax, 3);
        QCOMPARE(h.w->canvas().Picture(), two);
        // Cls after a restore shows the restored picture, not an older one.
        h.w->canvas().Cls();
        QCOMPARE(h.w->canvas().Image(), two);
    }

    void aPushAfterUndoCutsOffRedo() {
        CaptureHarness h(QSize(640, 480), false);
        const QImage frozen = h.w->canvas().Picture();
        drawAndPush(h.w, QRect(10, 10, 20, 20), qRgb(255, 0, 0));
        const QImage first = h.w->canvas().Picture();
        drawAndPush(h.w, QRect(50, 10, 20, 20), qRgb(0, 255, 0));
        drawAndPush(h.w, QRect(90, 10, 20, 20), qRgb(0, 0, 255));
        h.w->Undo();
        h.w->Undo();
        drawAndPush(h.w, QRect(10, 50, 30, 30), qRgb(255, 255, 0));
        QCOMPARE(h.w->lngCount, 3);
        QCOMPARE(h.w->lngMax, 3);
        QCOMPARE(h.w->arrHistory.upperBound(), 3);
        QCOMPARE(at(h.w, 60, 15), frozen.pixel(60, 15)); // the undone green square is gone
        QCOMPARE(at(h.w, 15, 60), qRgb(255, 255, 0));
        h.w->Redo();
        QCOMPARE(h.w->lngCount, 3);
        h.w->Undo();
        QCOMPARE(h.w->canvas().Picture(), first);
        h.w->Undo();
        QCOMPARE(h.w->canvas().Picture(), frozen);
    }

    void undoPastTheFrozenScreenDropsTheSelection() {
        CaptureHarness h(QSize(640, 480));
        h.select(QPoint(100, 100), QPoint(300, 200));
        QCOMPARE(h.w->sState, kMove);
        h.w->bTool = true;
        drawAndPush(h.w, QRect(120, 120, 10, 10), qRgb(255, 0, 0));
        const QImage annotated = h.w->canvas().Picture();
        h.w->Undo();
        QCOMPARE(h.w->lngCount, 1);
        QCOMPARE(h.w->sState, kMove);
        h.w->Undo();
        QCOMPARE(h.w->lngCount, 1);
        QCOMPARE(h.w->lngMax, 2);
        QCOMPARE(h.w->sState, kDraw);
        QVERIFY(!h.w->bTool);
        QVERIFY(!h.w->Shape1.Visible());
        QVERIFY(!h.w->Picture1.Visible());
        QVERIFY(!h.w->Picture2.Visible());
        QVERIFY(!h.w->LblPos.Visible());
        QVERIFY(!h.w->lblInfo.Visible());
        for (const Control& handle : h.w->Image1)
            QVERIFY(!handle.Visible());
        QCOMPARE(h.w->Shape1.Width(), 0.0f);
        QCOMPARE(h.w->Shape1.Height(), 0.0f);
        // The frozen screen stays; redo still reaches the kept top of the history.
        QCOMPARE(h.w->canvas().Picture(), FakeScreen::pattern(QSize(640, 480)));
        h.w->Redo();
        QCOMPARE(h.w->lngCount, 2);
        QCOMPARE(h.w->canvas().Picture(), annotated);
        QCOMPARE(h.w->sState, kDraw);
        // And the user can drag a new selection.
        h.select(QPoint(10, 10), QPoint(50, 40));
        QCOMPARE(h.w->sState, kMove);
        QCOMPARE(h.w->Shape1.Width(), 40.0f);
    }

    void truncateKeepsOnlyTheFrozenScreen() {
        CaptureHarness h(QSize(640, 480), false);
        drawAndPush(h.w, QRect(10, 10, 20, 20), qRgb(255, 0, 0));
        drawAndPush(h.w, QRect(40, 40, 20, 20), qRgb(0, 255, 0));
        h.w->Undo();
        const QImage shown = h.w->canvas().Picture();
        h.w->HistoryTruncate();
        QCOMPARE(h.w->lngCount, 1);
        QCOMPARE(h.w->lngMax, 1);
        QCOMPARE(h.w->arrHistory.upperBound(), 1);
        QCOMPARE(h.w->canvas().Picture(), shown); // the picture is not touched
        h.w->Redo();
        QCOMPARE(h.w->lngCount, 1);
        // A step pushed now is measured against the frozen screen: undoing it shows the
        // frozen screen exactly, the red square that was on show included.
        drawAndPush(h.w, QRect(100, 100, 5, 5), qRgb(0, 0, 255));
        QCOMPARE(h.w->arrHistory.step(2).rect, QRect(10, 10, 95, 95));
        h.w->Undo();
        QCOMPARE(h.w->canvas().Picture(), FakeScreen::pattern(QSize(640, 480)));
        h.w->Redo();
        QCOMPARE(at(h.w, 15, 15), qRgb(255, 0, 0));
        QCOMPARE(at(h.w, 102, 102), qRgb(0, 0, 255));
    }

    void aStepCostsWhatItChanged() {
        CaptureHarness h(QSize(1920, 1080), false);
        drawAndPush(h.w, QRect(500, 400, 200, 100), qRgb(1, 2, 3));
        QCOMPARE(h.w->arrHistory.step(2).rect, QRect(500, 400, 200, 100));
        // Before and after of the changed pixels, with a little framing: not a screen.
        QVERIFY(h.w->arrHistory.stepBytes() <= qint64(2 * 200 * 100 * 4 * 1.1));
        // A push that changed nothing costs nothing but its place in the list.
        drawAndPush(h.w, QRect(500, 400, 200, 100), qRgb(1, 2, 3));
        QCOMPARE(h.w->lngCount, 3);
        QVERIFY(h.w->arrHistory.step(3).rect.isEmpty());
        h.w->Undo();
        QCOMPARE(at(h.w, 510, 410), qRgb(1, 2, 3));
        h.w->Undo();
        QCOMPARE(at(h.w, 510, 410), FakeScreen::patternPixel(510, 410));
    }

    void everySnapshotRebuildsToWhatWasShown() {
        CaptureHarness h(QSize(320, 240), false);
        std::vector<QImage> shown{h.w->canvas().Picture()};
        for (int i = 0; i < 12; ++i) {
            drawAndPush(h.w, QRect((i * 37) % 300, (i * 53) % 220, 15 + i, 10 + i),
                        qRgb(i * 20, 255 - i * 20, 7));
            shown.push_back(h.w->canvas().Picture());
        }
        for (int k = 1; k <= 13; ++k)
            QCOMPARE(h.w->arrHistory.snapshot(k, *h.w->objBag).value(), shown[size_t(k - 1)]);
        for (int k = 12; k >= 1; --k) {
            h.w->Undo();
            QCOMPARE(h.w->canvas().Picture(), shown[size_t(k - 1)]);
        }
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
