// The capture window right after start-up: the frozen screen shown exactly, the state it
// starts in, the refusal of a second instance, keys that do nothing, and a fresh second
// capture.
#include "CaptureHarness.h"

#include <QLabel>
#include <QLineEdit>

class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stateRightAfterStartUp() {
        CaptureHarness h(QSize(800, 600));
        frmCapture* w = h.w;
        QCOMPARE(w->lngCount, 1);
        QCOMPARE(w->lngMax, 1);
        QCOMPARE(w->arrHistory.upperBound(), 1);
        QVERIFY(w->objBag);
        QCOMPARE(w->sState, kivo::kStateDraw);
        QVERIFY(!w->bTool);
        QVERIFY(!w->bDrawing);
        QCOMPARE(w->lngKeepOpen, 1);
        QCOMPARE(w->sDrag, QString());
        QCOMPARE(w->lngLastTool, 0);
        QCOMPARE(h.fakes.pointer.value(), int(PointerShape::Crosshair));
        QCOMPARE(h.fakes.screen.grabs, 1);
        // The toolbar strip is parked above the window.
        QCOMPARE(w->Picture1.Top(), -w->Picture1.Height());
        // Nothing but the frozen screen is visible.
        QVERIFY(!w->Shape1.Visible());
        QVERIFY(!w->LblPos.Visible() && !w->lblPosWidget()->isVisible());
        QVERIFY(!w->lblInfo.Visible() && !w->lblInfoWidget()->isVisible());
        QVERIFY(!w->Picture1.Visible() && !w->Picture1.widget()->isVisible());
        QVERIFY(!w->Picture2.Visible() && !w->Picture2.widget()->isVisible());
        QVERIFY(!w->TextEdit.Visible() && !w->textEditWidget()->isVisible());
        for (const Control& handle : w->Image1)
            QVERIFY(!handle.Visible() && !handle.widget()->isVisible());
        QCOMPARE(h.shown(), FakeScreen::pattern(QSize(800, 600)));
    }

    void windowCoversThePrimaryScreen() {
        CaptureHarness h(QSize(1024, 768));
        QCOMPARE(h.w->geometry(), QRect(0, 0, 1024, 768));
        QCOMPARE(h.w->mapToGlobal(QPoint(0, 0)), QPoint(0, 0));
        QVERIFY(h.w->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(h.w->SW(), 1024.0f);
        QCOMPARE(h.w->SH(), 768.0f);
    }

    void picturesShareTheFrozenPixels() {
        CaptureHarness h(QSize(640, 480), false);
        const QImage& image = h.w->canvas().Image();
        QCOMPARE(h.w->canvas().Picture().constBits(), image.constBits());
        QCOMPARE(h.w->arrHistory.first().constBits(), image.constBits());
    }

    void smallerGrabIsPaintedAtTheOrigin() {
        FakePlatform fakes(QSize(300, 200));
        fakes.screen.image = QImage(100, 50, QImage::Format_RGB32);
        fakes.screen.image.fill(qRgb(1, 2, 3));
        frmCapture w(fakes.platform());
        QVERIFY(w.Load());
        QCOMPARE(w.canvas().Image().size(), QSize(300, 200));
        QCOMPARE(w.canvas().Image().pixel(99, 49), qRgb(1, 2, 3));
        QCOMPARE(w.canvas().Image().pixel(100, 50), qRgb(0, 0, 0));
    }

    void secondInstanceIsRefused() {
        FakePlatform fakes(QSize(640, 480));
        fakes.instance.running = true;
        frmCapture w(fakes.platform());
        QVERIFY(!w.Load());
        QCOMPARE(fakes.messageBox.shown.size(), size_t(1));
        QCOMPARE(fakes.messageBox.shown[0].text,
                 QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!"));
        QCOMPARE(fakes.messageBox.shown[0].title, kivo::kAppTitle);
        QCOMPARE(fakes.messageBox.shown[0].icon, MessageBox::Exclamation);
        QCOMPARE(fakes.program.ended, 1);
        // Nothing else of the start-up ran.
        QCOMPARE(fakes.screen.grabs, 0);
        QCOMPARE(w.lngCount, 0);
        QCOMPARE(fakes.pointer.history.size(), size_t(0));
    }

    void keysDoNothing_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("a") << int(Qt::Key_A);
        QTest::newRow("Delete") << int(Qt::Key_Delete);
        QTest::newRow("Z") << int(Qt::Key_Z);
    }
    void keysDoNothing() {
        QFETCH(int, key);
        CaptureHarness h(QSize(640, 480));
        h.select(QPoint(50, 50), QPoint(200, 150));
        const QImage before = h.shown();
        QTest::keyClick(h.window(), Qt::Key(key));
        QTest::keyClick(h.window(), Qt::Key(key), Qt::ControlModifier);
        QVERIFY(h.w);
        QVERIFY(!h.w->isUnloaded());
        QVERIFY(h.w->isVisible());
        QCOMPARE(h.w->sState, kivo::kStateMove);
        QCOMPARE(h.w->Shape1.Width(), 150.0f);
        QCOMPARE(h.w->lngCount, 1);
        QCOMPARE(h.shown(), before);
    }

    void secondCaptureStartsFresh() {
        FakePlatform fakes(QSize(640, 480));
        auto* first = new frmCapture(fakes.platform());
        QVERIFY(first->Load());
        first->showCapture();
        first->bTool = true;
        first->sTool = kivo::kToolRectangle;
        first->sState = kivo::kStateMove;
        first->Shape1.setGeometry(10, 10, 100, 100);
        first->Unload();
        QCOMPARE(fakes.pointer.value(), int(PointerShape::Default));
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // The screen has changed since: the next capture freezes the new one.
        fakes.screen.image = QImage(640, 480, QImage::Format_RGB32);
        fakes.screen.image.fill(qRgb(9, 8, 7));
        frmCapture second(fakes.platform());
        QVERIFY(second.Load());
        QCOMPARE(second.canvas().Picture().pixel(5, 5), qRgb(9, 8, 7));
        QCOMPARE(second.sState, kivo::kStateDraw);
        QVERIFY(!second.bTool);
        QCOMPARE(second.sTool, QString());
        QCOMPARE(second.lngCount, 1);
        QCOMPARE(second.lngMax, 1);
        QVERIFY(!second.Shape1.Visible());
        QCOMPARE(second.Shape1.Width(), 0.0f);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
