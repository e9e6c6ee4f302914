// The arithmetic of the selection's companions and of its moves, without a window: handle
// places, the resize table, the toolbar and panel places (also at chrome scales 1.5 and 2),
// the move clamp, the pointer held inside the window, colour splitting.
#include "capture/SelectionGeometry.h"
#include "form/Basics.h"

#include <QRectF>
#include <QTest>

using namespace geometry;

namespace {
Box box(const QRectF& r) {
    return {float(r.x()), float(r.y()), float(r.width()), float(r.height())};
}
} // namespace

class TestGeometry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void handlePlaces_data() {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<int>("index");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("top");
        const QRectF zero(100, 100, 0, 0);
        for (int i : {0, 1, 3, 4, 5, 6, 7})
            QTest::addRow("zero size, %d", i) << zero << i << 98.0f << 98.0f;
        // Handle 2 divides by 1.5, not 2: two thirds of a pixel left of the corner's centre.
        QTest::addRow("zero size, 2") << zero << 2 << float(100.0 - 4.0 / 1.5) << 98.0f;
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
    void handlePlaces() {
        QFETCH(QRectF, rect);
        QFETCH(int, index);
        const Place at = handlePlace(index, box(rect), 4, 4);
        QTEST(at.left, "left");
        QTEST(at.top, "top");
    }

    void resizeTable_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QPointF>("cursor");
        QTest::addColumn<QRectF>("expected"); // empty: the drag passed the opposite edge
        // The rectangle at the drag's start is (100, 100)-(300, 200); handles are 4 x 4.
        QTest::newRow("0") << 0 << QPointF(80, 90) << QRectF(82, 92, 220, 110);
        QTest::newRow("1") << 1 << QPointF(250, 50) << QRectF(100, 52, 200, 150);
        QTest::newRow("2") << 2 << QPointF(350, 50) << QRectF(100, 52, 252, 150);
        QTest::newRow("3") << 3 << QPointF(50, 400) << QRectF(52, 100, 250, 100);
        QTest::newRow("4") << 4 << QPointF(50, 260) << QRectF(52, 100, 250, 160);
        QTest::newRow("5") << 5 << QPointF(10, 230) << QRectF(100, 100, 200, 130);
        QTest::newRow("6") << 6 << QPointF(350, 260) << QRectF(100, 100, 250, 160);
        QTest::newRow("7") << 7 << QPointF(400, 20) << QRectF(100, 100, 300, 100);
        QTest::newRow("5 onto the top edge") << 5 << QPointF(0, 100) << QRectF(100, 100, 200, 0);
        QTest::newRow("5 past the top edge") << 5 << QPointF(0, 99) << QRectF();
        QTest::newRow("3 past the right edge") << 3 << QPointF(301, 0) << QRectF();
    }
    void resizeTable() {
        QFETCH(int, index);
        QFETCH(QPointF, cursor);
        QFETCH(QRectF, expected);
        const auto r = resizedByHandle(index, {100, 100, 300, 200}, float(cursor.x()),
                                       float(cursor.y()), 4, 4);
        QCOMPARE(r.has_value(), !expected.isNull());
        if (r)
            QCOMPARE(QRectF(r->left, r->top, r->width, r->height), expected);
    }

    void toolbarPlaces_data() {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QPointF>("at");
        const float PH = 26, PW = 265;
        QTest::newRow("under") << QRectF(500, 300, 400, 200) << QPointF(900 - PW, 504);
        // 29 pixels left under the bottom edge: the strip does not fit under it.
        QTest::newRow("inside near the bottom")
            << QRectF(500, 851, 400, 200) << QPointF(900 - PW, 1051 - PH - 4);
        // Exactly PH + 4 left: equality fits, the strip goes under.
        QTest::newRow("exactly fits") << QRectF(500, 850, 400, 200) << QPointF(900 - PW, 1054);
        QTest::newRow("narrow at the left edge") << QRectF(0, 100, 100, 50) << QPointF(0, 154);
        QTest::newRow("narrow, inside") << QRectF(10, 1000, 100, 70) << QPointF(0, 1070 - PH - 4);
        QTest::newRow("half pixels") << QRectF(300.5, 200.25, 200, 100) << QPointF(235.5, 304.25);
    }
    void toolbarPlaces() {
        QFETCH(QRectF, rect);
        QFETCH(QPointF, at);
        const Place p = toolbarPlace(box(rect), 265, 26, 1080);
        QCOMPARE(p.left, float(at.x()));
        QCOMPARE(p.top, float(at.y()));
    }

    void stylePanelAboveOrBelow_data() {
        QTest::addColumn<float>("stripTop");
        QTest::addColumn<float>("top");
        // Strip 26 high, panel 37.33 high, 3 apart, on a 1080-row screen.
        const float panel = 560.0f / 15;
        const float fits = 1080 - panel - 3 - 26;
        QTest::newRow("fits exactly") << fits << fits + 26 + 3;
        QTest::newRow("one step short") << fits + 1 << fits + 1 - panel - 3;
        QTest::newRow("plenty of room") << 100.0f << 129.0f;
    }
    void stylePanelAboveOrBelow() {
        QFETCH(float, stripTop);
        QTEST(stylePanelTop(stripTop, 26, 560.0f / 15, 1080), "top");
    }

    void moveIsKeptOnTheScreen_data() {
        QTest::addColumn<float>("start");
        QTest::addColumn<float>("now"); // the press was at 500
        QTest::addColumn<float>("size");
        QTest::addColumn<float>("edge");
        QTest::newRow("free") << 100.0f << 520.0f << 200.0f << 120.0f;
        QTest::newRow("past the start") << 100.0f << 300.0f << 200.0f << 0.0f;
        QTest::newRow("past the end") << 1700.0f << 600.0f << 200.0f << 1720.0f;
        QTest::newRow("onto the end") << 1700.0f << 520.0f << 200.0f << 1720.0f;
        // Longer than the screen: its far edge ends on the screen's far edge.
        QTest::newRow("longer than the screen") << 0.0f << 510.0f << 2000.0f << -80.0f;
    }
    void moveIsKeptOnTheScreen() {
        QFETCH(float, start);
        QFETCH(float, now);
        QFETCH(float, size);
        QTEST(movedEdge(start, 500, now, size, 1920), "edge");
    }

    // The companions of a 400 x 200 selection at (500, 300) on a 1080-row screen with the
    // chrome at scale s: handles 4s, strip 265s x 26s 4s under, read-outs 2s in, panel 3s off.
    void scaledCompanions_data() {
        QTest::addColumn<float>("s");
        QTest::addColumn<QPointF>("handle2");
        QTest::addColumn<QPointF>("handle6");
        QTest::addColumn<QPointF>("strip");
        QTest::addColumn<float>("stripInsideTop"); // the selection at 851: no room under it
        QTest::addColumn<QPointF>("readout");
        QTest::addColumn<float>("infoTop"); // under a read-out 14s high
        QTest::addColumn<float>("panelTop");
        QTest::newRow("1") << 1.0f << QPointF(900 - 4 / 1.5, 298) << QPointF(898, 498)
                           << QPointF(635, 504) << 1021.0f << QPointF(502, 302) << 318.0f << 533.0f;
        QTest::newRow("1.5") << 1.5f << QPointF(896, 297) << QPointF(897, 497)
                             << QPointF(502.5, 506) << 1006.0f << QPointF(503, 303) << 327.0f
                             << 549.5f;
        QTest::newRow("2") << 2.0f << QPointF(900 - 8 / 1.5, 296) << QPointF(896, 496)
                           << QPointF(370, 508) << 991.0f << QPointF(504, 304) << 336.0f << 566.0f;
    }
    void scaledCompanions() {
        QFETCH(float, s);
        // Exact single-precision places, not fuzzy ones.
        const auto same = [](const Place& p, const QPointF& at) {
            return p.left == float(at.x()) && p.top == float(at.y());
        };
        const Box sel{500, 300, 400, 200};
        QFETCH(QPointF, handle2);
        QFETCH(QPointF, handle6);
        QVERIFY(same(handlePlace(2, sel, 4 * s, 4 * s), handle2));
        QVERIFY(same(handlePlace(6, sel, 4 * s, 4 * s), handle6));
        QFETCH(QPointF, strip);
        const Place at = toolbarPlace(sel, 265 * s, 26 * s, 1080, s);
        QVERIFY(same(at, strip));
        QTEST(toolbarPlace({500, 851, 400, 200}, 265 * s, 26 * s, 1080, s).top, "stripInsideTop");
        QFETCH(QPointF, readout);
        const Place r = readoutPlace(sel, s);
        QVERIFY(same(r, readout));
        QTEST(infoTop(r.top, 14 * s, s), "infoTop");
        QTEST(stylePanelTop(at.top, 26 * s, 560.0f / 15 * s, 1080, s), "panelTop");
    }

    void pointerHeldInside_data() {
        QTest::addColumn<float>("v");
        QTest::addColumn<float>("held");
        QTest::newRow("on another monitor, before") << -300.0f << 0.0f;
        QTest::newRow("first pixel") << 0.0f << 0.0f;
        QTest::newRow("inside") << 1234.5f << 1234.5f;
        QTest::newRow("last pixel") << 1919.0f << 1919.0f;
        QTest::newRow("just past") << 1919.5f << 1919.0f;
        QTest::newRow("on another monitor, after") << 2300.0f << 1919.0f;
    }
    void pointerHeldInside() {
        QFETCH(float, v);
        QTEST(heldInside(v, 1920), "held");
    }

    void splitRgb_data() {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::newRow("orange") << 0x000080FF << 255 << 128 << 0;
        QTest::newRow("bytes") << 0x00123456 << 0x56 << 0x34 << 0x12;
        QTest::newRow("no pixel") << -1 << -1 << 0 << 0;
    }
    void splitRgb() {
        QFETCH(int, colour);
        int32_t r, g, b;
        kivo::SplitRgb(colour, r, g, b);
        QTEST(int(r), "r");
        QTEST(int(g), "g");
        QTEST(int(b), "b");
    }
};

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
