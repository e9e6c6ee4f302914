// Where the handles, the read-outs and the toolbar strip go around a selection rectangle, and
// how large the controls around the picture are where the screen asks for a scale.
#include "CaptureHarness.h"

#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarStrip.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
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
    void handleWidgetsShowRoundedPlaces();
    void readouts_data();
    void readouts();
    void toolbar();
    void chromeAtScale_data();
    void chromeAtScale();
};

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

void TestPlacement::toolbar() {
    // The strip's place comes from the selection and the screen's height.
    CaptureHarness h(QSize(1920, 1080));
    setShape(*h.w, 300.5f, 851.25f, 200, 200);
    h.w->ToolbarMove();
    const QPointF at(235.5, 1051.25 - 26 - 4);
    QCOMPARE(h.w->Picture1.Left(), float(at.x()));
    QCOMPARE(h.w->Picture1.Top(), float(at.y()));
    QCOMPARE(h.w->Picture1.Width(), 265.0f);
    QCOMPARE(h.w->Picture1.Height(), 26.0f);
    QVERIFY(h.w->Picture1.Visible());
    QVERIFY(h.w->Picture1.widget()->isVisible());
    QCOMPARE(h.w->Picture1.widget()->pos(),
             QPoint(kivo::roundInt(float(at.x())), kivo::roundInt(float(at.y()))));
}

void TestPlacement::chromeAtScale_data() {
    QTest::addColumn<float>("s");
    QTest::newRow("1.5") << 1.5f;
    QTest::newRow("2") << 2.0f;
}

void TestPlacement::chromeAtScale() {
    QFETCH(float, s);
    CaptureHarness h(QSize(1920, 1080), true, s);
    frmCapture& w = *h.w;
    h.select({500, 300}, {900, 500});
    // The picture is not scaled: the selection is where the pointer went.
    QCOMPARE(w.Shape1.Width(), 400.0f);
    const auto px = [s](float designed) { return kivo::roundInt(designed * s); };
    QCOMPARE(w.Image1[6].widget()->size(), QSize(px(4), px(4)));
    QCOMPARE(w.Image1[6].Left(), 900 - 2 * s);
    QCOMPARE(w.toolbar()->size(), QSize(px(265), px(26)));
    QCOMPARE(w.toolbar()->button(kivo::kButtonSave)->size(), QSize(px(16), px(16)));
    QCOMPARE(w.Picture1.Top(), 500 + 4 * s);
    QCOMPARE(w.Picture1.Left(), 900 - 265 * s);
    QCOMPARE(w.LblPos.Left(), 500 + 2 * s);
    QCOMPARE(QFontInfo(w.lblPosWidget()->font()).pixelSize(), px(14)); // 10.5 pt at 96 dpi
    QCOMPARE(w.Picture2.widget()->height(), px(560.0f / 15));
    QCOMPARE(w.TextEdit.Height(), 16 * s);
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
