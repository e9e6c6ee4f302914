// The style panel: choosing a colour on release, the swatch outlines, the size picker's
// face and list, and what a new capture starts with.
#include "CaptureHarness.h"
#include "style/ColourSwatch.h"
#include "style/StyleBox.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarStrip.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

namespace {
const QPoint kSelA(200, 150), kSelB(700, 450);
constexpr kivo::Colour kRed = 0x000000FF;

QPoint centreOf(const CaptureHarness& h, const QWidget* widget) {
    return widget->mapTo(h.w.data(), widget->rect().center());
}

void clickAt(CaptureHarness& h, QPoint p) {
    h.press(p.x(), p.y());
    h.release(p.x(), p.y());
}

// A capture with a selection and the given tool's panel open.
void openPanel(CaptureHarness& h, int tool) {
    h.select(kSelA, kSelB);
    clickAt(h, centreOf(h, h.w->toolbar()->button(tool)));
    QVERIFY(h.w->Picture2.Visible());
}

QPoint swatchAt(const CaptureHarness& h, int index) {
    return centreOf(h, h.w->stylePanel()->swatch(index));
}

QList<int> outlined(const StylePanel& panel) {
    QList<int> v;
    for (int i = 0; i < 16; ++i)
        if (panel.swatch(i)->BorderStyle() != 0)
            v << i;
    return v;
}
} // namespace

class TstStylePanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void swatchesStandAndPaintAsLaidOut();
    void hoverOutlinesButNeverChooses();
    void chosenOnReleaseEvenAfterDraggingOff();
    void releaseGoesToThePressedSwatch();
    void currentSwatchNeverChangesTheColour();
    void hoverOnCurrentOrBackgroundClearsOutlines();
    void faceFollowsPointerAndPress();
    void pressOnFaceTogglesTheList();
    void choosingFromTheListSetsTheSize();
    void sizeIsAlwaysANumber();
    void newCaptureStartsRedWithSize11();
};

void TstStylePanel::swatchesStandAndPaintAsLaidOut() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonText);
    StylePanel& panel = *h.w->stylePanel();
    const QImage shown = h.shown();
    for (int i = 0; i < 16; ++i) {
        const Control& c = panel.Pcolor[size_t(i)];
        QCOMPARE(c.Left(), float((480 + 240 * (i % 8)) / 15.0f));
        QCOMPARE(c.Top(), i < 8 ? 0.0f : 220 / 15.0f);
        QCOMPARE(c.Width(), 200 / 15.0f);
        QCOMPARE(qRgb(qRed(shown.pixel(swatchAt(h, i))), qGreen(shown.pixel(swatchAt(h, i))),
                      qBlue(shown.pixel(swatchAt(h, i)))),
                 kivo::toQColor(panel.swatch(i)->BackColor()).rgb());
    }
    const kivo::Colour expected[16] = {0x000000, 0x808080, 0x0000C0, 0x00C0C0, 0x008000, 0x800000,
                                       0x800080, 0x808000, 0xFFFFFF, 0xC0C0C0, 0x0000FF, 0x00FFFF,
                                       0x00FF00, 0xFF0000, 0xFF00FF, 0xFFFF00};
    for (int i = 0; i < 16; ++i)
        QCOMPARE(panel.swatch(i)->BackColor(), expected[i]);
    // The large swatch shows the current colour.
    QCOMPARE(shown.pixel(swatchAt(h, 16)), qRgb(255, 0, 0));
    QCOMPARE(panel.Pcolor[16].Width(), 28.0f);
    QCOMPARE(h.w->currentColour(), kRed);
}

void TstStylePanel::hoverOutlinesButNeverChooses() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonRectangle);
    StylePanel& panel = *h.w->stylePanel();
    for (int i : {0, 1, 2}) {
        const QPoint p = swatchAt(h, i);
        h.move(p.x(), p.y());
    }
    QCOMPARE(h.w->currentColour(), kRed);
    // Moves jumped straight from swatch to swatch: all three stay outlined.
    QCOMPARE(outlined(panel), (QList<int>{0, 1, 2}));
    clickAt(h, swatchAt(h, 2));
    QCOMPARE(h.w->currentColour(), kivo::Colour(0x000000C0));
    QCOMPARE(h.shown().pixel(swatchAt(h, 16)), qRgb(192, 0, 0));
}

void TstStylePanel::chosenOnReleaseEvenAfterDraggingOff() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonRectangle);
    const QPoint p = swatchAt(h, 2);
    h.press(p.x(), p.y());
    QCOMPARE(h.w->currentColour(), kRed); // not on the press
    h.move(p.x() + 30, p.y() + 200);
    h.move(600, 50);
    h.release(600, 50);
    QCOMPARE(h.w->currentColour(), kivo::Colour(0x000000C0));
    // The release did not reach the window: no annotation was started.
    QVERIFY(!h.w->bDrawing);
}

void TstStylePanel::releaseGoesToThePressedSwatch() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonRectangle);
    const QPoint from = swatchAt(h, 13), to = swatchAt(h, 10);
    h.press(from.x(), from.y());
    h.move(to.x(), to.y());
    h.release(to.x(), to.y());
    QCOMPARE(h.w->currentColour(), kivo::Colour(0x00FF0000));
}

void TstStylePanel::currentSwatchNeverChangesTheColour() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonRectangle);
    clickAt(h, swatchAt(h, 13));
    QCOMPARE(h.w->currentColour(), kivo::Colour(0x00FF0000));
    clickAt(h, swatchAt(h, 16));
    QCOMPARE(h.w->currentColour(), kivo::Colour(0x00FF0000));
    // Pressed on the large swatch, released over another one: still unchanged.
    const QPoint from = swatchAt(h, 16), to = swatchAt(h, 8);
    h.press(from.x(), from.y());
    h.move(to.x(), to.y());
    h.release(to.x(), to.y());
    QCOMPARE(h.w->currentColour(), kivo::Colour(0x00FF0000));
}

void TstStylePanel::hoverOnCurrentOrBackgroundClearsOutlines() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonRectangle);
    StylePanel& panel = *h.w->stylePanel();
    const auto hover = [&](QPoint p) { h.move(p.x(), p.y()); };
    hover(swatchAt(h, 4));
    hover(swatchAt(h, 12));
    QCOMPARE(outlined(panel), (QList<int>{4, 12}));
    hover(swatchAt(h, 16));
    QCOMPARE(outlined(panel), QList<int>{});
    hover(swatchAt(h, 5));
    QCOMPARE(outlined(panel), QList<int>{5});
    // The gap between two swatches is the palette's own background.
    QWidget* palette = panel.PicColor.widget();
    hover(palette->mapTo(h.w.data(), QPoint(kivo::roundInt(panel.Pcolor[5].Left()) - 1, 5)));
    QCOMPARE(outlined(panel), QList<int>{});
    QCOMPARE(h.w->currentColour(), kRed);
}

void TstStylePanel::faceFollowsPointerAndPress() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonText);
    StylePanel& panel = *h.w->stylePanel();
    QCOMPARE(panel.faceShown(), 0);
    const QPoint face = centreOf(h, panel.face());
    h.move(face.x(), face.y());
    QCOMPARE(panel.faceShown(), 1);
    QCOMPARE(panel.face()->picture().toImage(), panel.Image4[1].toImage());
    // The group's background left of the letter returns the face to normal.
    h.move(panel.PicFont.widget()->mapTo(h.w.data(), QPoint(0, 0)).x(),
           panel.PicFont.widget()->mapTo(h.w.data(), QPoint(0, 0)).y());
    QCOMPARE(panel.faceShown(), 0);
    h.press(face.x(), face.y());
    QCOMPARE(panel.faceShown(), 2);
    panel.combo()->hidePopup();
    h.release(face.x(), face.y());
}

void TstStylePanel::pressOnFaceTogglesTheList() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonText);
    StylePanel& panel = *h.w->stylePanel();
    QAbstractItemView* list = panel.combo()->view();
    QVERIFY(!list->isVisible());
    const QPoint face = centreOf(h, panel.face());
    h.press(face.x(), face.y());
    QVERIFY(list->isVisible());
    // Already down: the next toggle closes it.
    h.w->OpenCombo();
    QVERIFY(!list->isVisible());
    h.w->OpenCombo();
    QVERIFY(list->isVisible());
    h.w->OpenCombo();
    QVERIFY(!list->isVisible());
}

void TstStylePanel::choosingFromTheListSetsTheSize() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonText);
    StylePanel& panel = *h.w->stylePanel();
    QComboBox* combo = panel.combo();
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
        QCOMPARE(combo->itemData(i).toInt(), 0);
    }
    QCOMPARE(items, (QStringList{"6", "8", "9", "10", "11", "12", "14", "18", "20"}));
    QCOMPARE(panel.text1()->text(), QStringLiteral("11"));
    h.w->OpenCombo();
    QAbstractItemView* list = combo->view();
    QVERIFY(list->isVisible());
    // Pick "20" with the keyboard, as a user can in the open list.
    QTest::keyClick(list, Qt::Key_End);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(panel.text1()->text(), QStringLiteral("20"));
    QCOMPARE(h.w->chosenTextSize(), 20.0f);
    // The face shows it.
    QVERIFY(panel.text1()->isVisible());
}

void TstStylePanel::sizeIsAlwaysANumber() {
    CaptureHarness h;
    openPanel(h, kivo::kButtonText);
    QLineEdit* text1 = h.w->stylePanel()->text1();
    // Typing does not reach the box.
    QVERIFY(text1->isReadOnly());
    QCOMPARE(text1->focusPolicy(), Qt::NoFocus);
    QTest::keyClicks(text1, "abc");
    QCOMPARE(text1->text(), QStringLiteral("11"));
    // And whatever else might put text there, the text tool still reads a number.
    for (const char* bad : {"abc", "", "-3", "0"}) {
        text1->setText(QString::fromLatin1(bad));
        QCOMPARE(h.w->chosenTextSize(), 11.0f);
    }
}

void TstStylePanel::newCaptureStartsRedWithSize11() {
    {
        CaptureHarness h;
        openPanel(h, kivo::kButtonText);
        clickAt(h, swatchAt(h, 13));
        const QPoint p = swatchAt(h, 4);
        h.move(p.x(), p.y());
        StylePanel& panel = *h.w->stylePanel();
        panel.combo()->setCurrentIndex(8);
        panel.Combo1_Click();
        QCOMPARE(h.w->chosenTextSize(), 20.0f);
        QCOMPARE(h.w->currentColour(), kivo::Colour(0x00FF0000));
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonExit);
    }
    CaptureHarness h;
    QCOMPARE(h.w->currentColour(), kRed);
    QCOMPARE(h.w->chosenTextSize(), 11.0f);
    QCOMPARE(h.w->stylePanel()->text1()->text(), QStringLiteral("11"));
    QCOMPARE(outlined(*h.w->stylePanel()), QList<int>{});
    QVERIFY(!h.w->Picture2.Visible());
    QVERIFY(!h.w->bTool);
}

QTEST_MAIN(TstStylePanel)
#include "tst_style_panel.moc"
