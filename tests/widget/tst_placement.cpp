// Where the handles, the read-outs and the toolbar strip go around a selection rectangle.
#include "CaptureHarness.h"

#include <QLabel>
#include <QtTest>

namespace {
void setShape(frmCapture& w, float l, float t, float wd, float ht) {
    w.Shape1.setGeometry(l, t, wd, ht);
    w.Shape1.show();
}
} // namespace

class TestPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void handles_data();
    void handles();
    void handleWidgetsShowRoundedPlaces();
    void readouts_data();
    void readouts();
    void toolbar_data();
    void toolbar();
};

void TestPlacement::handles_data() {
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<int>("index");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    const QRectF zero(100, 100, 0, 0);
    // Handle 2 divides by 1.5, not 2: two thirds of a pixel left of the corner's centre.
    const float h2 = float(100.0 - 4.0 / 1.5);
    for (int i : {0, 1, 3, 4, 5, 6, 7})
        QTest::addRow("zero size, %d", i) << zero << i << 98.0f << 98.0f;
    QTest::addRow("zero size, 2") << zero << 2 << h2 << 98.0f;
    const QRectF r(10, 20, 200, 100);
    QTest::addRow("200x100, 0") << r << 0 << 8.0f << 18.0f;
    QTest::addRow("200x100, 1") << r << 1 << 108.0f << 18.0f;
    QTest::addRow("200x100, 2") << r << 2 << float(210.0 - 4.0 / 1.5) << 18.0f;
    QTest::addRow("200x100, 3") << r << 3 << 8.0f << 68.0f;
    QTest::addRow("200x100, 4") << r << 4 << 8.0f << 118.0f;
    QTest::addRow("200x100, 5") << r << 5 << 108.0f << 118.0f;
    QTest::addRow("200x100, 6") << r << 6 << 208.0f << 118.0f;
    QTest::addRow("200x100, 7") << r << 7 << 208.0f << 68.0f;
    // Odd sizes put the edge handles on half pixels.
    QTest::addRow("odd, 1") << QRectF(0, 0, 7, 5) << 1 << 1.5f << -2.0f;
    QTest::addRow("odd, 7") << QRectF(0, 0, 7, 5) << 7 << 5.0f << 0.5f;
}

void TestPlacement::handles() {
    QFETCH(QRectF, rect);
    QFETCH(int, index);
    CaptureHarness h;
    setShape(*h.w, float(rect.x()), float(rect.y()), float(rect.width()), float(rect.height()));
    h.w->ImageMove();
    const Control& handle = h.w->Image1[size_t(index)];
    QTEST(handle.Left(), "left");
    QTEST(handle.Top(), "top");
    QCOMPARE(handle.Width(), 4.0f); // the size stays
    QCOMPARE(handle.Height(), 4.0f);
    for (const Control& c : h.w->Image1)
        QVERIFY(c.Visible());
}

void TestPlacement::handleWidgetsShowRoundedPlaces() {
    CaptureHarness h;
    setShape(*h.w, 100, 100, 0, 0);
    h.w->ImageMove();
    QCOMPARE(h.w->Image1[2].Left(), float(100.0 - 4.0 / 1.5));
    QCOMPARE(h.w->Image1[2].widget()->geometry(), QRect(97, 98, 4, 4));
    QVERIFY(h.w->Image1[2].widget()->isVisible());
    // Halves go to the even neighbour: 1.5 -> 2, 0.5 -> 0, -2.5 -> -2.
    setShape(*h.w, 0, -0.5f, 7, 5);
    h.w->ImageMove();
    QCOMPARE(h.w->Image1[1].widget()->pos(), QPoint(2, -2));
    QCOMPARE(h.w->Image1[7].widget()->pos(), QPoint(5, 0));
}

void TestPlacement::readouts_data() {
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("text");
    QTest::newRow("200x100") << QRectF(10, 20, 200, 100) << "200x100";
    QTest::newRow("320x240") << QRectF(0, 0, 320, 240) << "320x240";
    QTest::newRow("zero") << QRectF(100, 100, 0, 0) << "0x0";
    QTest::newRow("fractions") << QRectF(5, 5, 0.5, 97.33334) << "0.5x97.33334";
    QTest::newRow("half-pixel corner") << QRectF(100.5, 40.5, 3, 4) << "3x4";
}

void TestPlacement::readouts() {
    QFETCH(QRectF, rect);
    QFETCH(QString, text);
    CaptureHarness h;
    setShape(*h.w, float(rect.x()), float(rect.y()), float(rect.width()), float(rect.height()));
    h.w->LabelMove();
    QCOMPARE(h.w->lblPosWidget()->text(), text);
    QCOMPARE(h.w->LblPos.Left(), float(rect.x()) + 2);
    QCOMPARE(h.w->LblPos.Top(), float(rect.y()) + 2);
    QCOMPARE(h.w->lblInfo.Left(), float(rect.x()) + 2);
    QCOMPARE(h.w->lblInfo.Top(), h.w->LblPos.Top() + h.w->LblPos.Height() + 2);
    QVERIFY(h.w->LblPos.Height() > 0);
    QCOMPARE(h.w->LblPos.Width(), float(h.w->lblPosWidget()->sizeHint().width()));
    // The widget shows the rounded place (102.5 -> 102, 42.5 -> 42).
    QCOMPARE(h.w->lblPosWidget()->pos(),
             QPoint(kivo::roundInt(h.w->LblPos.Left()), kivo::roundInt(h.w->LblPos.Top())));
    // Placing the read-outs does not show them.
    QVERIFY(!h.w->LblPos.Visible());
    QVERIFY(!h.w->lblInfo.Visible());
}

void TestPlacement::toolbar_data() {
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QPointF>("at");
    const float PH = 26, PW = 265;
    QTest::newRow("under") << QRectF(500, 300, 400, 200) << QPointF(900 - PW, 504);
    // The bottom edge 29 pixels above the screen's bottom: the strip does not fit under it.
    QTest::newRow("inside near the bottom")
        << QRectF(500, 851, 400, 200) << QPointF(900 - PW, 1051 - PH - 4);
    // Exactly PH + 4 above the bottom: equality fits, the strip goes under.
    QTest::newRow("exactly fits") << QRectF(500, 850, 400, 200) << QPointF(900 - PW, 1054);
    QTest::newRow("narrow at the left edge") << QRectF(0, 100, 100, 50) << QPointF(0, 154);
    QTest::newRow("narrow, inside") << QRectF(10, 1000, 100, 70) << QPointF(0, 1070 - PH - 4);
    QTest::newRow("half pixels") << QRectF(300.5, 200.25, 200, 100) << QPointF(235.5, 304.25);
}

void TestPlacement::toolbar() {
    QFETCH(QRectF, rect);
    QFETCH(QPointF, at);
    CaptureHarness h(QSize(1920, 1080));
    setShape(*h.w, float(rect.x()), float(rect.y()), float(rect.width()), float(rect.height()));
    h.w->ToolbarMove();
    QCOMPARE(h.w->Picture1.Left(), float(at.x()));
    QCOMPARE(h.w->Picture1.Top(), float(at.y()));
    QCOMPARE(h.w->Picture1.Width(), 265.0f);
    QCOMPARE(h.w->Picture1.Height(), 26.0f);
    QVERIFY(h.w->Picture1.Visible());
    QVERIFY(h.w->Picture1.widget()->isVisible());
    QCOMPARE(h.w->Picture1.widget()->pos(),
             QPoint(kivo::roundInt(float(at.x())), kivo::roundInt(float(at.y()))));
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
