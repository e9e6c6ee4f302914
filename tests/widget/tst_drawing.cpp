// Annotation drawing on a loaded capture window: previews that leave no trail, shapes
// committed into the picture with their end point kept on the selection, one undo step per
// committed shape, colours read at each drawing.
#include "CaptureHarness.h"
#include "Pixels.h"
#include "style/StylePanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QWindow>

namespace {
const QString kRectangle = kivo::kToolRectangle;
const QString kEllipse = kivo::kToolEllipse;
const QString kArrow = kivo::kToolArrow;
const QString kText = kivo::kToolText;
const QRgb kRed = qRgb(255, 0, 0);

// The frozen picture with a one-pixel outline of box (corners included) in colour.
QImage withOutline(QImage img, const QRect& box, QRgb colour) {
    for (int x = box.left(); x <= box.right(); ++x) {
        img.setPixel(x, box.top(), colour);
        img.setPixel(x, box.bottom(), colour);
    }
    for (int y = box.top(); y <= box.bottom(); ++y) {
        img.setPixel(box.left(), y, colour);
        img.setPixel(box.right(), y, colour);
    }
    return img;
}
} // namespace

class tst_drawing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rectangleEndClampedToSelection();
    void pressOnBorderOrOutsideDrawsNothing_data();
    void pressOnBorderOrOutsideDrawsNothing();
    void previewLeavesNoTrail();
    void previewRepaintsOnlyTheOutlines();
    void arrowHeadOnThePicture();
    void zeroLengthShapesStillPush_data();
    void zeroLengthShapesStillPush();
    void ellipseFitsItsBox();
    void oneSnapshotPerCommittedShape();
    void colourReadAtEachDrawing();
    void rightButtonDragCommits();
    void redoAfterNewShapeDoesNothing();
    void stepKeepsOnlyTheOutline();
    void ellipseOutlineComplete_data();
    void ellipseOutlineComplete();
    void arrowLinesComplete();
    void shapeAfterHistoryCut();

private:
    // A 640 x 480 capture with the selection (100, 60, 200 x 100) and the tool armed.
    std::unique_ptr<CaptureHarness> armed(const QString& tool);
};

std::unique_ptr<CaptureHarness> tst_drawing::armed(const QString& tool) {
    auto h = std::make_unique<CaptureHarness>(QSize(640, 480));
    h->select({100, 60}, {300, 160});
    frmCapture* w = h->w;
    if (w->Shape1.Left() != 100 || w->Shape1.Top() != 60 || w->Shape1.Width() != 200 ||
        w->Shape1.Height() != 100)
        qWarning("unexpected selection");
    w->bTool = true;
    w->sTool = tool;
    return h;
}

void tst_drawing::rectangleEndClampedToSelection() {
    auto h = armed(kRectangle);
    const QImage frozen = h->w->canvas().Picture();
    h->drag({120, 80}, {400, 500});
    QCOMPARE(h->w->canvas().Picture(),
             withOutline(frozen, QRect(QPoint(120, 80), QPoint(300, 160)), kRed));
    QCOMPARE(h->w->lngCount, 2);
    QVERIFY(!h->w->bDrawing);
    // The selection and the window stay.
    QCOMPARE(h->w->Shape1.pixelRect(), QRect(100, 60, 200, 100));
    QVERIFY(!h->w->isUnloaded());
}

void tst_drawing::pressOnBorderOrOutsideDrawsNothing_data() {
    QTest::addColumn<QPoint>("press");
    QTest::newRow("left edge") << QPoint(100, 100);
    QTest::newRow("right edge") << QPoint(300, 100);
    QTest::newRow("top edge") << QPoint(150, 60);
    QTest::newRow("bottom edge") << QPoint(150, 160);
    QTest::newRow("outside") << QPoint(50, 300);
}

void tst_drawing::pressOnBorderOrOutsideDrawsNothing() {
    QFETCH(QPoint, press);
    for (const QString& tool : {kRectangle, kEllipse, kArrow, kText}) {
        auto h = armed(tool);
        const QImage frozen = h->w->canvas().Picture();
        h->drag(press, {200, 120});
        QCOMPARE(h->w->canvas().Picture(), frozen);
        QCOMPARE(h->w->canvas().Image(), frozen);
        QCOMPARE(h->w->lngCount, 1);
        QVERIFY(!h->w->bDrawing);
        QVERIFY(!h->w->TextEdit.Visible());
        QCOMPARE(h->w->Shape1.pixelRect(), QRect(100, 60, 200, 100));
    }
}

void tst_drawing::previewLeavesNoTrail() {
    auto h = armed(kRectangle);
    frmCapture* w = h->w;
    const QImage frozen = w->canvas().Picture();
    h->press(150, 115);
    for (QPoint p :
         {QPoint(290, 150), QPoint(120, 70), QPoint(400, 10), QPoint(200, 90), QPoint(250, 140)})
        h->move(p.x(), p.y());
    // Mid-drag: the picture is untouched, and what reached the screen is the frozen picture
    // with only the last preview (150, 115) - (250, 140) on it.
    QCOMPARE(w->canvas().Picture(), frozen);
    QVERIFY(!w->canvas().autoRedraw());
    QApplication::processEvents();
    const QImage screen =
        w->screen()->grabWindow(w->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = withOutline(frozen, QRect(QPoint(150, 115), QPoint(250, 140)), kRed);
    // Compare inside the selection, away from its frame and the controls over it.
    QRegion controls;
    for (QWidget* child : w->findChildren<QWidget*>())
        if (child->isVisible())
            controls += child->geometry();
    int compared = 0;
    for (int y = 61; y < 159; ++y)
        for (int x = 101; x < 299; ++x) {
            if (controls.contains(QPoint(x, y)))
                continue;
            ++compared;
            if (screen.pixel(x, y) != expected.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
        }
    QVERIFY(compared > 10000);
    QCOMPARE(inkBounds(screen.copy(101, 61, 198, 98), kRed),
             QRect(QPoint(49, 54), QPoint(149, 79)));
    h->release(250, 140);
    QCOMPARE(w->canvas().Picture(), expected);
}

void tst_drawing::previewRepaintsOnlyTheOutlines() {
    auto h = armed(kRectangle);
    h->press(110, 70);
    h->move(280, 150);
    QSignalSpy spy(&h->w->canvas(), &Canvas::changed);
    h->move(270, 140);
    const QRegion outlines = QRegion(QRect(QPoint(110, 70), QPoint(280, 150))) -
                             QRect(QPoint(111, 71), QPoint(279, 149)) +
                             (QRegion(QRect(QPoint(110, 70), QPoint(270, 140))) -
                              QRect(QPoint(111, 71), QPoint(269, 139)));
    QVERIFY(spy.count() > 0);
    for (const QList<QVariant>& args : spy)
        QVERIFY(outlines.contains(args.at(0).toRect()) ||
                (QRegion(args.at(0).toRect()) - outlines).isEmpty());
    h->release(270, 140);
}

void tst_drawing::arrowHeadOnThePicture() {
    auto h = armed(kArrow);
    const QImage frozen = h->w->canvas().Picture();
    h->drag({150, 100}, {250, 100});
    const QImage pic = h->w->canvas().Picture();
    // Tail, tip and the two barb ends (240, 105) and (240, 95) are drawn; nothing else is.
    for (QPoint p :
         {QPoint(150, 100), QPoint(200, 100), QPoint(250, 100), QPoint(240, 105), QPoint(240, 95),
          QPoint(246, 102), QPoint(246, 98), QPoint(244, 103), QPoint(244, 97)})
        QCOMPARE(pic.pixel(p) & 0xFFFFFF, kRed & 0xFFFFFF);
    QCOMPARE(inkBounds(pic, kRed), QRect(QPoint(150, 95), QPoint(250, 105)));
    QCOMPARE(pic.pixel(240, 100 + 6), frozen.pixel(240, 106));
    QCOMPARE(h->w->lngCount, 2);

    // A diagonal arrow whose tip is clamped onto the selection's corner.
    h->drag({120, 80}, {500, 400});
    QCOMPARE(h->w->canvas().Picture().pixel(300, 160) & 0xFFFFFF, kRed & 0xFFFFFF);
    QCOMPARE(h->w->lngCount, 3);
}

void tst_drawing::zeroLengthShapesStillPush_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<int>("inked");
    QTest::newRow("arrow") << kArrow << 0;
    QTest::newRow("ellipse") << kEllipse << 0;
    QTest::newRow("rectangle") << kRectangle << 1;
}

void tst_drawing::zeroLengthShapesStillPush() {
    QFETCH(QString, tool);
    QFETCH(int, inked);
    auto h = armed(tool);
    const QImage frozen = h->w->canvas().Picture();
    h->press(150, 100);
    h->release(150, 100);
    QCOMPARE(h->w->lngCount, 2);
    QCOMPARE(h->w->lngMax, 2);
    const QImage pic = h->w->canvas().Picture();
    QCOMPARE(inkBounds(pic, kRed).width() * inkBounds(pic, kRed).height(), inked);
    if (!inked)
        QCOMPARE(pic, frozen);
}

void tst_drawing::ellipseFitsItsBox() {
    auto h = armed(kEllipse);
    const QImage frozen = h->w->canvas().Picture();
    // Dragged up and to the left: the box is (120, 80) - (180, 140) all the same, and the
    // outline covers x 120..179 and y 80..139 like the platform's ellipse.
    h->drag({180, 140}, {120, 80});
    const QImage pic = h->w->canvas().Picture();
    QCOMPARE(inkBounds(pic, kRed), QRect(QPoint(120, 80), QPoint(179, 139)));
    QCOMPARE(pic.pixel(150, 110), frozen.pixel(150, 110)); // no fill
    QCOMPARE(pic.pixel(121, 81), frozen.pixel(121, 81));   // the corners stay outside
    // One pixel wide: each row through the middle holds exactly two inked runs of 1 or 2.
    int inked = 0;
    for (int x = 120; x < 180; ++x)
        inked += (pic.pixel(x, 110) & 0xFFFFFF) == (kRed & 0xFFFFFF);
    QVERIFY(inked >= 2 && inked <= 4);
    for (int x = 120; x < 180; ++x)
        QVERIFY(inkBounds(pic.copy(x, 80, 1, 60), kRed).isValid()); // a closed outline
}

void tst_drawing::oneSnapshotPerCommittedShape() {
    auto h = armed(kRectangle);
    frmCapture* w = h->w;
    h->drag({110, 70}, {150, 100});
    QCOMPARE(w->lngCount, 2);
    w->sTool = kEllipse;
    h->drag({160, 70}, {200, 100});
    QCOMPARE(w->lngCount, 3);
    w->sTool = kArrow;
    h->drag({210, 70}, {250, 100});
    QCOMPARE(w->lngCount, 4);

    // The text tool: the first click places the box and pushes nothing.
    w->sTool = kText;
    h->press(120, 120);
    h->release(130, 125);
    QCOMPARE(w->lngCount, 4);
    QVERIFY(w->bDrawing);
    QVERIFY(w->TextEdit.Visible());
    QCOMPARE(w->TextEdit.Left(), 130.0f);
    QCOMPARE(w->TextEdit.Top(), 125.0f);
    QCOMPARE(w->TextEdit.Width(), 25.0f);
    QTest::keyClicks(w->textEditWidget(), QStringLiteral("Kivo"));
    QCOMPARE(w->textEditWidget()->text(), QStringLiteral("Kivo"));
    // The committing release falls outside the selection: the text goes to the box's place.
    h->press(500, 400);
    h->release(500, 400);
    QCOMPARE(w->lngCount, 5);
    QCOMPARE(w->lngMax, 5);
    QVERIFY(!w->bDrawing);
    QVERIFY(!w->TextEdit.Visible());
    QVERIFY(w->textEditWidget()->text().isEmpty());
    const QRect ink = inkBounds(w->canvas().Picture().copy(125, 120, 100, 40), kRed);
    QVERIFY(ink.isValid());
    QVERIFY(ink.left() >= 5 && ink.top() >= 5);

    // An empty box still records a step, identical to the one before. (A click on the box
    // itself belongs to the box; the commit is a click beside it.)
    h->press(150, 130);
    h->release(150, 130);
    QCOMPARE(w->lngCount, 5);
    const QImage before = w->canvas().Picture();
    h->press(140, 100);
    h->release(140, 100);
    QCOMPARE(w->lngCount, 6);
    QCOMPARE(w->canvas().Picture(), before);
}

void tst_drawing::colourReadAtEachDrawing() {
    auto h = armed(kRectangle);
    frmCapture* w = h->w;
    StylePanel* panel = w->stylePanel();
    // Colours and sizes are chosen as the user chooses them: a release on a swatch, an item
    // picked from the size list.
    auto choose = [panel](int swatch) { panel->Pcolor_MouseUp(swatch); };
    auto pickSize = [panel](const QString& size) {
        panel->combo()->setCurrentIndex(panel->combo()->findText(size));
        panel->Combo1_Click();
    };
    choose(13); // blue
    h->drag({110, 70}, {150, 100});
    choose(12); // bright green
    h->drag({160, 70}, {200, 100});
    const QImage pic = w->canvas().Picture();
    QCOMPARE(inkBounds(pic, qRgb(0, 0, 255)), QRect(QPoint(110, 70), QPoint(150, 100)));
    QCOMPARE(inkBounds(pic, qRgb(0, 255, 0)), QRect(QPoint(160, 70), QPoint(200, 100)));

    // Text: placed in one colour and size, committed in those current at the commit.
    w->sTool = kText;
    qreal boxSize = 0;
    auto commitText = [&](QPoint at, const QString& size) {
        choose(10); // red
        pickSize(QStringLiteral("11"));
        h->press(at.x(), at.y());
        h->release(at.x(), at.y());
        QTest::keyClicks(w->textEditWidget(), QStringLiteral("HH"));
        choose(13); // blue
        pickSize(size);
        h->press(at.x() - 10, at.y() - 10);
        h->release(at.x() - 10, at.y() - 10);
        boxSize = w->textEditWidget()->font().pointSizeF();
        return w->canvas().Picture().copy(QRect(at, QSize(60, 50)));
    };
    const QImage small = commitText({120, 105}, QStringLiteral("11"));
    QCOMPARE(boxSize, 11.0);
    const QImage large = commitText({200, 105}, QStringLiteral("20"));
    QCOMPARE(boxSize, 20.0);
    QVERIFY(!inkBounds(small, kRed).isValid());
    QVERIFY(!inkBounds(large, kRed).isValid());
    const QRect s = inkBounds(small, qRgb(0, 0, 255)), l = inkBounds(large, qRgb(0, 0, 255));
    QVERIFY(s.isValid() && l.isValid());
    QVERIFY2(l.height() > s.height() * 3 / 2,
             qPrintable(QStringLiteral("%1 vs %2").arg(l.height()).arg(s.height())));
}

void tst_drawing::rightButtonDragCommits() {
    auto h = armed(kRectangle);
    const QImage frozen = h->w->canvas().Picture();
    h->drag({120, 80}, {200, 120}, Qt::RightButton);
    QCOMPARE(h->w->canvas().Picture(),
             withOutline(frozen, QRect(QPoint(120, 80), QPoint(200, 120)), kRed));
    QCOMPARE(h->w->lngCount, 2);
    QVERIFY(!h->w->isUnloaded());
    QCOMPARE(h->w->sState, kivo::kStateMove);
}

void tst_drawing::redoAfterNewShapeDoesNothing() {
    auto h = armed(kRectangle);
    frmCapture* w = h->w;
    const QImage frozen = w->canvas().Picture();
    h->drag({110, 70}, {150, 100});
    const QImage first = w->canvas().Picture();
    h->drag({160, 70}, {200, 100});
    h->drag({210, 70}, {250, 100});
    w->Undo();
    w->Undo();
    QCOMPARE(w->canvas().Picture(), first);
    w->sTool = kEllipse;
    h->drag({120, 110}, {160, 150});
    QCOMPARE(w->lngCount, 3);
    QCOMPARE(w->lngMax, 3);
    const QImage withEllipse = w->canvas().Picture();
    w->Redo();
    QCOMPARE(w->lngCount, 3);
    QCOMPARE(w->canvas().Picture(), withEllipse);
    w->Undo();
    QCOMPARE(w->canvas().Picture(), first);
    w->Undo();
    QCOMPARE(w->canvas().Picture(), frozen);
}

void tst_drawing::stepKeepsOnlyTheOutline() {
    auto h = std::make_unique<CaptureHarness>(QSize(800, 780));
    h->select({20, 20}, {780, 760});
    frmCapture* w = h->w;
    w->bTool = true;
    w->sTool = kRectangle;
    h->drag({40, 40}, {760, 740});
    QCOMPARE(w->lngCount, 2);
    // A 721 x 701 outline: its box before and after would take 4 MB; the step keeps the
    // outline's 2840 pixels, twice, with some bookkeeping.
    QVERIFY2(w->arrHistory.stepBytes() < 64 * 1024,
             qPrintable(QString::number(w->arrHistory.stepBytes())));
    QCOMPARE(w->arrHistory.step(2).rect, QRect(QPoint(40, 40), QPoint(760, 740)));
    w->sTool = kEllipse;
    const QImage one = w->canvas().Picture();
    h->drag({40, 40}, {760, 740});
    const QImage two = w->canvas().Picture();
    w->Undo();
    QCOMPARE(w->canvas().Picture(), one);
    w->Redo();
    QCOMPARE(w->canvas().Picture(), two);
}

void tst_drawing::ellipseOutlineComplete_data() {
    QTest::addColumn<QRect>("box"); // press at the top-left corner, release at the bottom-right
    QTest::newRow("large") << QRect(QPoint(30, 30), QPoint(760, 740));
    QTest::newRow("flat") << QRect(QPoint(30, 380), QPoint(760, 392));
    QTest::newRow("tall") << QRect(QPoint(390, 30), QPoint(397, 740));
    QTest::newRow("small") << QRect(QPoint(100, 100), QPoint(104, 103));
}

void tst_drawing::ellipseOutlineComplete() {
    // Whatever only parts of the window get repainted, the committed outline is whole: the
    // same pixels as a one-pixel ellipse through the box's pixels, kept inside the box
    // (the stroker can overshoot at the sharp ends of a flat ellipse).
    QFETCH(QRect, box);
    auto h = std::make_unique<CaptureHarness>(QSize(800, 780));
    h->select({20, 20}, {780, 760});
    frmCapture* w = h->w;
    w->bTool = true;
    w->sTool = kEllipse;
    QImage expected = w->canvas().Picture();
    h->drag(box.topLeft(), box.bottomRight());
    QPainter p(&expected);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.setClipRect(box.adjusted(0, 0, -1, -1));
    p.drawEllipse(QRectF(box.left(), box.top(), box.width() - 2, box.height() - 2));
    p.end();
    QCOMPARE(w->canvas().Picture(), expected);
    QCOMPARE(inkBounds(expected, kRed), box.adjusted(0, 0, -1, -1));
}

void tst_drawing::arrowLinesComplete() {
    // Long shafts at awkward slopes: the committed arrow has every pixel of its three
    // one-pixel lines, end points included.
    auto h = std::make_unique<CaptureHarness>(QSize(800, 780));
    h->select({20, 20}, {780, 760});
    frmCapture* w = h->w;
    w->bTool = true;
    w->sTool = kArrow;
    const QLine shafts[] = {QLine(30, 30, 770, 751), QLine(770, 40, 31, 700),
                            QLine(400, 750, 402, 25), QLine(25, 400, 760, 405)};
    for (const QLine& shaft : shafts) {
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
        p.setPen(QPen(QColor(255, 0, 0), 1));
        Painted target{&p};
        frmCapture::Arrow(target, float(shaft.x1()), float(shaft.y1()), float(shaft.x2()),
                          float(shaft.y2()), 10.0f, 0);
        p.end();
        QCOMPARE(w->canvas().Picture(), expected);
        QCOMPARE(w->canvas().Picture().pixel(shaft.p1()) & 0xFFFFFF, kRed & 0xFFFFFF);
        QCOMPARE(w->canvas().Picture().pixel(shaft.p2()) & 0xFFFFFF, kRed & 0xFFFFFF);
    }
}

void tst_drawing::shapeAfterHistoryCut() {
    // After the history is cut back to the frozen screen under a drawn picture, the next
    // shape's step holds everything drawn since the frozen screen.
    auto h = armed(kRectangle);
    frmCapture* w = h->w;
    const QImage frozen = w->canvas().Picture();
    h->drag({110, 70}, {150, 100});
    h->drag({160, 70}, {200, 100});
    w->HistoryTruncate();
    h->drag({210, 70}, {250, 100});
    const QImage three = w->canvas().Picture();
    QCOMPARE(w->lngCount, 2);
    QCOMPARE(inkBounds(three, kRed), QRect(QPoint(110, 70), QPoint(250, 100)));
    w->Undo();
    QCOMPARE(w->canvas().Picture(), frozen);
    w->Redo();
    QCOMPARE(w->canvas().Picture(), three);
}

QTEST_MAIN(tst_drawing)
#include "tst_drawing.moc"
