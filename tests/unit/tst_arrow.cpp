// The arrow's head construction: the head points, the order of the three strokes, and the
// degenerate cases, on a surface that records its line calls.
#include "style/Arrow.h"

#include <QTest>
#include <vector>

namespace {
struct Stroke {
    float x1, y1, x2, y2;
    kivo::Colour colour;
};

// Any surface with a line operation serves as the arrow's target.
struct RecordingSurface {
    std::vector<Stroke> strokes;
    void Line(float x1, float y1, float x2, float y2, kivo::Colour c) {
        strokes.push_back({x1, y1, x2, y2, c});
    }
};
} // namespace

class tst_arrow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headPoints_data();
    void headPoints();
    void zeroLengthDrawsNothing();
    void headKeepsItsSizeOnShortShafts();
    void barbLengthAndSpread();
};

void tst_arrow::headPoints_data() {
    QTest::addColumn<QPointF>("tail");
    QTest::addColumn<QPointF>("tip");
    QTest::addColumn<float>("head");
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::newRow("rightward") << QPointF(0, 0) << QPointF(100, 0) << 10.0f << QPointF(90, 5)
                               << QPointF(90, -5);
    QTest::newRow("downward") << QPointF(0, 0) << QPointF(0, 100) << 10.0f << QPointF(-5, 90)
                              << QPointF(5, 90);
    QTest::newRow("leftward, offset")
        << QPointF(300, 40) << QPointF(200, 40) << 10.0f << QPointF(210, 35) << QPointF(210, 45);
    QTest::newRow("head 20") << QPointF(10, 10) << QPointF(10, -90) << 20.0f << QPointF(20, -70)
                             << QPointF(0, -70);
}

void tst_arrow::headPoints() {
    QFETCH(QPointF, tail);
    QFETCH(QPointF, tip);
    QFETCH(float, head);
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    RecordingSurface s;
    const kivo::Colour colour = kivo::rgb(1, 2, 3);
    drawArrow(s, float(tail.x()), float(tail.y()), float(tip.x()), float(tip.y()), head, colour);
    QCOMPARE(s.strokes.size(), size_t(3));
    // Barb A, barb B, then the shaft; every stroke ends on the tip, all in the colour.
    QCOMPARE(QPointF(s.strokes[0].x1, s.strokes[0].y1), a);
    QCOMPARE(QPointF(s.strokes[1].x1, s.strokes[1].y1), b);
    QCOMPARE(QPointF(s.strokes[2].x1, s.strokes[2].y1), tail);
    for (const Stroke& st : s.strokes) {
        QCOMPARE(QPointF(st.x2, st.y2), tip);
        QCOMPARE(st.colour, colour);
    }
}

void tst_arrow::zeroLengthDrawsNothing() {
    RecordingSurface s;
    drawArrow(s, 42.5f, 17.25f, 42.5f, 17.25f, 10.0f, 0);
    QVERIFY(s.strokes.empty());
    // Far above the cut-off: a shaft of 1e-6 pixel still gets its head.
    drawArrow(s, 0.0f, 0.0f, 1e-6f, 0.0f, 10.0f, 0);
    QCOMPARE(s.strokes.size(), size_t(3));
}

void tst_arrow::headKeepsItsSizeOnShortShafts() {
    RecordingSurface s;
    drawArrow(s, 0.0f, 0.0f, 3.0f, 0.0f, 10.0f, 0);
    QCOMPARE(s.strokes.size(), size_t(3));
    // The barbs reach back past the tail: 10 behind the tip.
    QCOMPARE(s.strokes[0].x1, -7.0f);
    QCOMPARE(s.strokes[0].y1, 5.0f);
    QCOMPARE(s.strokes[1].x1, -7.0f);
    QCOMPARE(s.strokes[1].y1, -5.0f);
}

void tst_arrow::barbLengthAndSpread() {
    // A diagonal shaft: each barb is 10 * sqrt(1.25) long, their ends 10 apart.
    RecordingSurface s;
    drawArrow(s, 17.0f, 250.0f, 512.5f, 33.25f, 10.0f, 0);
    QCOMPARE(s.strokes.size(), size_t(3));
    auto len = [](float x1, float y1, float x2, float y2) {
        return std::hypot(double(x2 - x1), double(y2 - y1));
    };
    const Stroke& a = s.strokes[0];
    const Stroke& b = s.strokes[1];
    QVERIFY(std::abs(len(a.x1, a.y1, a.x2, a.y2) - 10 * std::sqrt(1.25)) < 1e-4);
    QVERIFY(std::abs(len(b.x1, b.y1, b.x2, b.y2) - 10 * std::sqrt(1.25)) < 1e-4);
    QVERIFY(std::abs(len(a.x1, a.y1, b.x1, b.y1) - 10) < 1e-4);
    // The head points are single-precision roundings of the double-precision formula.
    const double L = std::hypot(512.5 - 17.0, 33.25 - 250.0);
    const float ux = 17.0f - 512.5f, uy = 250.0f - 33.25f;
    QCOMPARE(a.x1, float(512.5 + 10.0 * (ux + uy / 2.0) / L));
    QCOMPARE(a.y1, float(33.25 + 10.0 * (uy - ux / 2.0) / L));
}

QTEST_GUILESS_MAIN(tst_arrow)
#include "tst_arrow.moc"
