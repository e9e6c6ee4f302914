// The toolbar strip: each button's command, the style panel's place and visibility, and
// the hover frames, driven by real clicks through the capture window.
#include "CaptureHarness.h"
#include "style/ColourSwatch.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarIcons.h"
#include "toolbar/ToolbarStrip.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTimer>
#include <cmath>

namespace {
const QPoint kSelA(200, 150), kSelB(700, 450);

QPoint centreOf(const CaptureHarness& h, const QWidget* widget) {
    return widget->mapTo(h.w.data(), widget->rect().center());
}

void clickButton(CaptureHarness& h, int index) {
    const QPoint p = centreOf(h, h.w->toolbar()->button(index));
    h.press(p.x(), p.y());
    h.release(p.x(), p.y());
}

// Draw a mark and record it, so that undo has a picture to go back to.
void annotate(CaptureHarness& h) {
    const QRect r(300, 200, 10, 10);
    h.w->canvas().draw(r, [r](QPainter& p) { p.fillRect(r, Qt::green); });
    h.w->HistoryPush();
}
} // namespace

class TstToolbar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stripStandsUnderTheSelection();
    void toolButtonsArmTheirTool_data();
    void toolButtonsArmTheirTool();
    void sameToolTwiceHidesPanelThirdShows();
    void undoInBetweenKeepsPanelShown();
    void undoAndRedoWalkTheHistory();
    void panelAboveOrBelowTheStrip_data();
    void panelAboveOrBelowTheStrip();
    void textToArrowMovesPaletteAndNarrowsPanel();
    void exitEndsWithoutOutput();
    void releaseOffAButtonIsNoClick();
    void copyHidesPanelsAndEnds();
    void saveShowsPanelsAgainAndEnds();
    void cornerButtonOnlyRecordsItsIndex();
    void hoverFrameFollowsThePointer();
    void styleBackgroundGivesArrowPointer();
    void pressesOnStripAndPanelKeepTheSelection();
    void doubleClickRunsACommandOnce();
    void everyButtonHasItsOwnIcon();
};

void TstToolbar::stripStandsUnderTheSelection() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    QVERIFY(h.w->Picture1.Visible());
    QCOMPARE(h.w->Picture1.Left(), 435.0f);
    QCOMPARE(h.w->Picture1.Top(), 454.0f);
    const QImage shown = h.shown();
    // Strip background, its frame and a separator.
    QCOMPARE(shown.pixel(435 + 100, 454 + 24), qRgb(222, 238, 255));
    QCOMPARE(shown.pixel(435, 454 + 10), qRgb(128, 128, 255));
    QCOMPARE(shown.pixel(435 + 264, 454 + 25), qRgb(128, 128, 255));
    QCOMPARE(shown.pixel(435 + 105, 454 + 10), qRgb(192, 192, 255));
    QCOMPARE(shown.pixel(435 + 185, 454 + 10), qRgb(192, 192, 255));
    // The corner button is not shown: the frozen screen is there.
    QVERIFY(!h.w->toolbar()->button(9)->isVisible());
    QCOMPARE(shown.pixel(3, 3), FakeScreen::patternPixel(3, 3));
}

void TstToolbar::toolButtonsArmTheirTool_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<bool>("font");
    QTest::newRow("rectangle") << 7 << kivo::kToolRectangle << false;
    QTest::newRow("ellipse") << 6 << kivo::kToolEllipse << false;
    QTest::newRow("text") << 5 << kivo::kToolText << true;
    QTest::newRow("arrow") << 4 << kivo::kToolArrow << false;
}

void TstToolbar::toolButtonsArmTheirTool() {
    QFETCH(int, index);
    QFETCH(QString, tool);
    QFETCH(bool, font);
    CaptureHarness h;
    h.select(kSelA, kSelB);
    QVERIFY(!h.w->Picture2.Visible());
    clickButton(h, index);
    QVERIFY(h.w->bTool);
    QCOMPARE(h.w->sTool, tool);
    QCOMPARE(h.w->lngLastTool, index);
    QVERIFY(h.w->Picture2.Visible());
    QVERIFY(h.w->stylePanel()->isVisible());
    QCOMPARE(h.w->stylePanel()->PicFont.Visible(), font);
    QCOMPARE(h.w->Picture2.Left(), h.w->Picture1.Left());
    QCOMPARE(h.w->Picture2.Top(), 454.0f + 26 + 3);
    QCOMPARE(h.w->stylePanel()->Shape4.Width(), h.w->Picture2.Width());
    // The panel is painted where the model says: its frame's top-left corner.
    QCOMPARE(h.shown().pixel(435, 483), qRgb(128, 128, 255));
}

void TstToolbar::sameToolTwiceHidesPanelThirdShows() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    clickButton(h, kivo::kButtonRectangle);
    QVERIFY(h.w->Picture2.Visible());
    clickButton(h, kivo::kButtonRectangle);
    QVERIFY(!h.w->Picture2.Visible());
    QVERIFY(!h.w->stylePanel()->isVisible());
    QVERIFY(h.w->bTool);
    QCOMPARE(h.w->sTool, kivo::kToolRectangle);
    clickButton(h, kivo::kButtonRectangle);
    QVERIFY(h.w->Picture2.Visible());
    QCOMPARE(h.w->sTool, kivo::kToolRectangle);
    // Another tool with the panel shown keeps it shown.
    clickButton(h, kivo::kButtonEllipse);
    QVERIFY(h.w->Picture2.Visible());
}

void TstToolbar::undoInBetweenKeepsPanelShown() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    annotate(h);
    clickButton(h, kivo::kButtonRectangle);
    clickButton(h, kivo::kButtonUndo);
    QCOMPARE(h.w->lngLastTool, 0);
    QCOMPARE(h.w->lngCount, 1);
    clickButton(h, kivo::kButtonRectangle);
    QVERIFY(h.w->Picture2.Visible());
    QCOMPARE(h.w->lngLastTool, 7);
}

void TstToolbar::undoAndRedoWalkTheHistory() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    annotate(h);
    QCOMPARE(h.w->lngCount, 2);
    const QRgb green = qRgb(0, 255, 0);
    QCOMPARE(h.shown().pixel(305, 205), green);
    clickButton(h, kivo::kButtonUndo);
    QCOMPARE(h.w->lngCount, 1);
    QCOMPARE(h.shown().pixel(305, 205), FakeScreen::patternPixel(305, 205));
    clickButton(h, kivo::kButtonRedo);
    QCOMPARE(h.w->lngCount, 2);
    QCOMPARE(h.w->lngLastTool, 8);
    QCOMPARE(h.shown().pixel(305, 205), green);
    // Undo twice: back to the frozen screen, then the selection goes with strip and panel.
    clickButton(h, kivo::kButtonRectangle);
    clickButton(h, kivo::kButtonUndo);
    clickButton(h, kivo::kButtonUndo);
    QCOMPARE(h.w->sState, kivo::kStateDraw);
    QVERIFY(!h.w->Picture1.Visible());
    QVERIFY(!h.w->Picture2.Visible());
    QVERIFY(!h.w->bTool);
}

void TstToolbar::panelAboveOrBelowTheStrip_data() {
    QTest::addColumn<int>("shortBy"); // ulps the room under the strip lacks (0: fits exactly)
    QTest::addColumn<bool>("above");
    QTest::newRow("fits exactly") << 0 << false;
    QTest::newRow("one step short") << 1 << true;
    QTest::newRow("plenty of room") << -4000 << false;
}

void TstToolbar::panelAboveOrBelowTheStrip() {
    QFETCH(int, shortBy);
    QFETCH(bool, above);
    // A screen that fits in the headless platform's, so that the strip can be clicked.
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    frmCapture& w = *h.w;
    // The strip's top for which strip + 3 + panel ends exactly on the screen's last row.
    float top = w.SH() - w.Picture2.Height() - 3 - w.Picture1.Height();
    while (top + w.Picture1.Height() + 3 + w.Picture2.Height() > w.SH())
        top = std::nextafter(top, 0.0f);
    while (top + w.Picture1.Height() + 3 + w.Picture2.Height() < w.SH())
        top = std::nextafter(top, 2000.0f);
    QCOMPARE(top + w.Picture1.Height() + 3 + w.Picture2.Height(), w.SH());
    for (int i = 0; i < std::abs(shortBy); ++i)
        top = std::nextafter(top, shortBy > 0 ? 2000.0f : 0.0f);
    w.Picture1.setTop(top);
    clickButton(h, kivo::kButtonArrow);
    const float expected = above ? top - w.Picture2.Height() - 3 : top + w.Picture1.Height() + 3;
    QCOMPARE(w.Picture2.Top(), expected);
}

void TstToolbar::textToArrowMovesPaletteAndNarrowsPanel() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    StylePanel& panel = *h.w->stylePanel();
    clickButton(h, kivo::kButtonText);
    QVERIFY(panel.PicFont.Visible());
    QCOMPARE(panel.PicColor.Left(), 78.667f);
    QCOMPARE(h.w->Picture2.Width(), float(3620.0 / 15));
    const float wide = h.w->Picture2.Width();
    clickButton(h, kivo::kButtonArrow);
    QVERIFY(h.w->Picture2.Visible());
    QVERIFY(!panel.PicFont.Visible());
    QCOMPARE(panel.PicColor.Left(), panel.PicFont.Left());
    QCOMPARE(panel.PicColor.Left(), 4.0f);
    QCOMPARE(h.w->Picture2.Width(), float(double(wide) - 73 - 2));
    QCOMPARE(panel.Shape4.Width(), h.w->Picture2.Width());
    QCOMPARE(h.w->stylePanel()->width(), 166);
    // The large swatch moved with the palette: it is painted at the panel's left now.
    const QPoint swatch = centreOf(h, panel.swatch(16));
    QCOMPARE(swatch.x(), 435 + 4 + 1 + 13);
    QCOMPARE(h.shown().pixel(swatch), qRgb(255, 0, 0));
}

void TstToolbar::exitEndsWithoutOutput() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
    Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonExit);
    QCOMPARE(ended.count(), 1);
    QVERIFY(h.w->isUnloaded());
    QCOMPARE(h.w->lngLastTool, 3);
    QCOMPARE(h.fakes.clipboard.sets, 0);
    QVERIFY(h.fakes.saveDialog.requests.empty());
    // Through a real click the window goes away altogether.
    CaptureHarness h2;
    h2.select(kSelA, kSelB);
    clickButton(h2, kivo::kButtonExit);
    QTRY_VERIFY(h2.w.isNull());
    QCOMPARE(h2.fakes.clipboard.sets, 0);
}

void TstToolbar::releaseOffAButtonIsNoClick() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    const QPoint p = centreOf(h, h.w->toolbar()->button(3));
    h.press(p.x(), p.y());
    h.move(p.x() + 40, p.y() + 40);
    h.release(p.x() + 40, p.y() + 40);
    QVERIFY(!h.w->isUnloaded());
    QCOMPARE(h.w->lngLastTool, 0);
}

void TstToolbar::copyHidesPanelsAndEnds() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    clickButton(h, kivo::kButtonRectangle);
    QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
    // Called as the button's click does, so the window can be examined before it goes.
    Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonCopy);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!h.w->Picture1.Visible());
    QVERIFY(!h.w->Picture2.Visible());
    QVERIFY(!h.w->Shape1.Visible());
    QCOMPARE(h.w->lngLastTool, 1);
}

void TstToolbar::saveShowsPanelsAgainAndEnds() {
    for (const bool panelShown : {true, false}) {
        CaptureHarness h;
        h.select(kSelA, kSelB);
        clickButton(h, kivo::kButtonRectangle);
        if (!panelShown)
            clickButton(h, kivo::kButtonRectangle);
        QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
        Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonSave);
        QCOMPARE(ended.count(), 1);
        QVERIFY(h.w->Picture1.Visible());
        QCOMPARE(h.w->Picture2.Visible(), panelShown);
        QVERIFY(h.w->Shape1.Visible());
        QCOMPARE(h.w->lngLastTool, 2);
    }
}

void TstToolbar::cornerButtonOnlyRecordsItsIndex() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    clickButton(h, kivo::kButtonRectangle);
    Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonCopyCorner);
    QCOMPARE(h.w->lngLastTool, 9);
    QVERIFY(h.w->Picture1.Visible());
    QVERIFY(h.w->Picture2.Visible());
    QCOMPARE(h.w->sTool, kivo::kToolRectangle);
    QVERIFY(!h.w->isUnloaded());
    QCOMPARE(h.w->toolbar()->Image2[9].Left(), 0.0f);
    QCOMPARE(h.w->toolbar()->Image2[9].Top(), 0.0f);
    QCOMPARE(h.w->toolbar()->button(9)->toolTip(), h.w->toolbar()->button(1)->toolTip());
}

void TstToolbar::hoverFrameFollowsThePointer() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    ToolbarStrip& strip = *h.w->toolbar();
    const auto shownFrames = [&] {
        QList<int> v;
        for (int i = 0; i < 9; ++i)
            if (strip.Shape3[size_t(i)].Visible())
                v << i;
        return v;
    };
    QPoint p = centreOf(h, strip.button(7));
    h.move(p.x(), p.y());
    QCOMPARE(shownFrames(), QList<int>{7});
    // The frame is painted around the button: its border at the frame's left edge.
    const QRect frame = strip.Shape3[7].pixelRect().translated(strip.pos());
    QCOMPARE(h.shown().pixel(frame.left(), frame.center().y()), qRgb(0x24, 0x8F, 0xFB));
    QCOMPARE(h.shown().pixel(frame.left() + 1, frame.top() + 1), qRgb(0x94, 0xD9, 0xFF));
    p = centreOf(h, strip.button(6));
    h.move(p.x(), p.y());
    QCOMPARE(shownFrames(), QList<int>{6});
    // Between the two separators' neighbours: the strip's own background.
    h.fakes.pointer.value_ = 2;
    h.move(435 + 105 + 3, 454 + 3);
    QCOMPARE(shownFrames(), QList<int>{});
    QCOMPARE(h.fakes.pointer.value(), 1);
    QCOMPARE(h.shown().pixel(frame.left(), frame.center().y()), qRgb(222, 238, 255));
    // A frame left shown while the strip hides is there again when it comes back.
    p = centreOf(h, strip.button(0));
    h.move(p.x(), p.y());
    h.w->Picture1.hide();
    h.w->Picture1.show();
    QCOMPARE(shownFrames(), QList<int>{0});
}

void TstToolbar::styleBackgroundGivesArrowPointer() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    clickButton(h, kivo::kButtonRectangle);
    h.fakes.pointer.value_ = 2;
    // The panel's own background, left of the large swatch.
    const QPoint p = h.w->stylePanel()->mapTo(h.w.data(), QPoint(2, 20));
    h.move(p.x(), p.y());
    QCOMPARE(h.fakes.pointer.value(), 1);
}

void TstToolbar::pressesOnStripAndPanelKeepTheSelection() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    const QPoint stripBack(435 + 105 + 3, 454 + 3);
    // Before any tool: a press reaching the window would drop the selection.
    h.press(stripBack.x(), stripBack.y());
    h.release(stripBack.x(), stripBack.y());
    QCOMPARE(h.w->sState, kivo::kStateMove);
    QVERIFY(h.w->Picture1.Visible());
    // With a tool armed: it would start an annotation.
    clickButton(h, kivo::kButtonRectangle);
    const QPoint panelBack = h.w->stylePanel()->mapTo(h.w.data(), QPoint(2, 20));
    for (const QPoint p : {stripBack, panelBack}) {
        h.press(p.x(), p.y());
        h.release(p.x(), p.y());
        h.doubleClick(p.x(), p.y());
        QCOMPARE(h.w->sState, kivo::kStateMove);
        QVERIFY(h.w->Shape1.Visible());
        QVERIFY(h.w->Picture1.Visible());
        QVERIFY(h.w->Picture2.Visible());
        QVERIFY(!h.w->bDrawing);
    }
}

void TstToolbar::doubleClickRunsACommandOnce() {
    CaptureHarness h;
    h.select(kSelA, kSelB);
    const QPoint p = centreOf(h, h.w->toolbar()->button(7));
    h.doubleClick(p.x(), p.y()); // press, release, second press as double-click, release
    QVERIFY(h.w->Picture2.Visible());
    QCOMPARE(h.w->lngLastTool, 7);
    QVERIFY(!h.w->isUnloaded());
}

void TstToolbar::everyButtonHasItsOwnIcon() {
    QList<QImage> icons;
    for (int i = 0; i < 10; ++i) {
        const QImage icon = toolbarIcon(i).toImage();
        QCOMPARE(icon.size(), QSize(16, 16));
        int ink = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ink += qAlpha(icon.pixel(x, y)) > 128 ? 1 : 0;
        QVERIFY2(ink >= 12, qPrintable(QStringLiteral("button %1 shows almost nothing").arg(i)));
        icons << icon;
    }
    for (int i = 0; i < 9; ++i)
        for (int j = i + 1; j < 9; ++j)
            QVERIFY2(icons[i] != icons[j], qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
    QCOMPARE(icons[9], icons[1]);
}

QTEST_MAIN(TstToolbar)
#include "tst_toolbar.moc"
