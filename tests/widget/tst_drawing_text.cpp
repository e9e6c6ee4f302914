// The text tool's box: placed where the pointer is released, widened by what is typed,
// committed by the next release on the window, and what a tool switch in between does.
#include "CaptureHarness.h"
#include "Pixels.h"
#include "style/StylePanel.h"

#include <QComboBox>

#include <QFontMetrics>
#include <QLineEdit>

namespace {
const QString kRectangle = kivo::kToolRectangle;
const QString kText = kivo::kToolText;

} // namespace

class tst_drawing_text : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void boxGrowsWithTextAndNeverNarrows();
    void boxPlacedUnclampedNearTheEdge();
    void boxShowsItsWholeTextWhereItWillBeDrawn_data();
    void boxShowsItsWholeTextWhereItWillBeDrawn();
    void toolSwitchWithBoxOpen();
    void typedTextReachesThePicture();

private:
    std::unique_ptr<CaptureHarness> armed(const QString& tool) {
        auto h = std::make_unique<CaptureHarness>(QSize(640, 480));
        h->select({100, 60}, {300, 160});
        h->w->bTool = true;
        h->w->sTool = tool;
        return h;
    }
};

void tst_drawing_text::boxGrowsWithTextAndNeverNarrows() {
    auto h = armed(kText);
    frmCapture* w = h->w;
    w->stylePanel()->combo()->setCurrentIndex(
        w->stylePanel()->combo()->findText(QStringLiteral("14")));
    w->stylePanel()->Combo1_Click();
    h->press(150, 100);
    h->release(150, 100);
    QCOMPARE(w->TextEdit.Width(), 25.0f);
    QVERIFY(w->textEditWidget()->hasFocus());
    QFont f = w->font();
    f.setPointSizeF(14);
    const QFontMetrics fm(f);
    QTest::keyClicks(w->textEditWidget(), QStringLiteral("i"));
    QVERIFY(fm.horizontalAdvance(QStringLiteral("i")) < 25);
    QCOMPARE(w->TextEdit.Width(), 25.0f); // narrower text: no change
    const QString wide = QStringLiteral("iWWWWWW");
    QTest::keyClicks(w->textEditWidget(), wide.mid(1));
    const float widest = float(fm.horizontalAdvance(wide));
    QVERIFY(widest > 25);
    QCOMPARE(w->TextEdit.Width(), widest); // exactly the text, no margin
    const int height = w->textEditWidget()->height();
    QTest::keyClick(w->textEditWidget(), Qt::Key_Backspace);
    QTest::keyClick(w->textEditWidget(), Qt::Key_Backspace);
    QCOMPARE(w->TextEdit.Width(), widest);
    QCOMPARE(w->textEditWidget()->height(), height);
    // The next box starts again at 25 pixels.
    h->press(250, 150);
    h->release(250, 150);
    h->press(150, 100);
    h->release(160, 110);
    QCOMPARE(w->TextEdit.Width(), 25.0f);
}

void tst_drawing_text::boxPlacedUnclampedNearTheEdge() {
    auto h = armed(kText);
    frmCapture* w = h->w;
    // Pressed inside the selection, released near the screen's bottom-right corner.
    h->press(150, 100);
    h->release(630, 475);
    QVERIFY(w->TextEdit.Visible());
    QCOMPARE(w->TextEdit.Left(), 630.0f);
    QCOMPARE(w->TextEdit.Top(), 475.0f);
    QCOMPARE(w->lngCount, 1);
    // Committed by a release outside the selection with another button, at the box's place.
    QTest::keyClicks(w->textEditWidget(), QStringLiteral("T"));
    h->press(20, 20, Qt::RightButton);
    h->release(20, 20, Qt::RightButton);
    QCOMPARE(w->lngCount, 2);
    QVERIFY(!w->isUnloaded());
    const QRect ink = inkBounds(w->canvas().Picture(), qRgb(255, 0, 0));
    QVERIFY(ink.isValid());
    QVERIFY(ink.left() >= 630 && ink.top() >= 475);
}

void tst_drawing_text::boxShowsItsWholeTextWhereItWillBeDrawn_data() {
    QTest::addColumn<int>("size");
    for (int size : {6, 11, 20})
        QTest::addRow("%d pt", size) << size;
}

void tst_drawing_text::boxShowsItsWholeTextWhereItWillBeDrawn() {
    // The text's ink while it is typed covers the same pixels as once it is drawn: the box
    // neither cuts the text (first letter, top, bottom) nor shows it elsewhere.
    QFETCH(int, size);
    auto h = armed(kText);
    frmCapture* w = h->w;
    QImage grey(640, 480, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    w->canvas().blit(QPoint(0, 0), grey);
    w->canvas().commitImage();
    QComboBox* combo = w->stylePanel()->combo();
    combo->setCurrentIndex(combo->findText(QString::number(size)));
    w->stylePanel()->Combo1_Click();
    h->press(150, 100);
    h->release(150, 100);
    QTest::keyClicks(w->textEditWidget(), QStringLiteral("Wjg|"));
    const QImage typing = h->shown();
    h->press(250, 150);
    h->release(250, 150);
    const QImage drawn = w->canvas().Picture();
    // Mostly covered pixels of red text, on white or on grey alike.
    const auto ink = [](const QImage& img) {
        QRect box;
        for (int y = 80; y < 160; ++y)
            for (int x = 140; x < 300; ++x)
                if (qRed(img.pixel(x, y)) - qGreen(img.pixel(x, y)) > 180)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect shown = ink(typing), burnt = ink(drawn);
    QVERIFY(burnt.width() > 5 && burnt.height() > 3);
    QVERIFY2((shown.marginsAdded(QMargins(1, 1, 1, 1)).contains(burnt)) &&
                 burnt.marginsAdded(QMargins(1, 1, 1, 1)).contains(shown),
             qPrintable(QStringLiteral("typed %1,%2 %3x%4, drawn %5,%6 %7x%8")
                            .arg(shown.x())
                            .arg(shown.y())
                            .arg(shown.width())
                            .arg(shown.height())
                            .arg(burnt.x())
                            .arg(burnt.y())
                            .arg(burnt.width())
                            .arg(burnt.height())));
}

void tst_drawing_text::toolSwitchWithBoxOpen() {
    auto h = armed(kText);
    frmCapture* w = h->w;
    const QImage frozen = w->canvas().Picture();
    h->press(150, 100);
    h->release(160, 110);
    QVERIFY(w->bDrawing);
    QCOMPARE(w->sngDrawX, 150.0f);
    // Another tool is chosen while the box is open: a press outside the selection starts
    // nothing, and its release draws the new shape from the press that placed the box.
    w->sTool = kRectangle;
    h->press(50, 300);
    h->move(260, 140);
    h->release(260, 140);
    QCOMPARE(w->lngCount, 2);
    QVERIFY(!w->bDrawing);
    QVERIFY(w->TextEdit.Visible()); // the box stays open
    QCOMPARE(inkBounds(w->canvas().Picture(), qRgb(255, 0, 0)),
             QRect(QPoint(150, 100), QPoint(260, 140)));
    // With the text tool again, a stroke inside the selection commits the open box.
    QTest::keyClicks(w->textEditWidget(), QStringLiteral("ok"));
    w->sTool = kText;
    h->press(280, 150);
    h->release(280, 150);
    QCOMPARE(w->lngCount, 3);
    QVERIFY(!w->TextEdit.Visible());
    QVERIFY(w->canvas().Picture() != frozen);
}

void tst_drawing_text::typedTextReachesThePicture() {
    // Text typed through the input method path (a commit string) is drawn like keys.
    auto h = armed(kText);
    frmCapture* w = h->w;
    h->press(120, 120);
    h->release(120, 120);
    QInputMethodEvent ev;
    ev.setCommitString(QStringLiteral("截图"));
    QCoreApplication::sendEvent(w->textEditWidget(), &ev);
    QCOMPARE(w->textEditWidget()->text(), QStringLiteral("截图"));
    QVERIFY(w->TextEdit.Width() > 25);
    h->press(250, 150);
    h->release(250, 150);
    QCOMPARE(w->lngCount, 2);
    const QImage pic = w->canvas().Picture();
    // Two wide glyphs: ink spread over most of the box's width.
    const QRect ink = inkBounds(pic.copy(120, 120, 80, 40), qRgb(255, 0, 0));
    QVERIFY(ink.isValid());
    QVERIFY(ink.width() > 15);
}

QTEST_MAIN(tst_drawing_text)
#include "tst_drawing_text.moc"
