// What the toolbar's copy and save buttons leave behind: the selected area on the
// clipboard without the strip or the panel over it, and the save dialog asked once with
// the panels back in place.
#include "CaptureHarness.h"
#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarStrip.h"

namespace {
// A selection reaching the screen's bottom, so that strip and panel stand inside it.
const QPoint kSelA(100, 300), kSelB(700, 590);
const QRect kArea(100, 300, 600, 290);

QPoint centreOf(const frmCapture* w, const QWidget* widget) {
    return widget->mapTo(w, widget->rect().center());
}

void clickButton(frmCapture* w, int index) {
    const QPoint p = centreOf(w, w->toolbar()->button(index));
    QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, p);
    QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, p);
}

QImage areaOfFrozenScreen() {
    return FakeScreen::pattern(QSize(800, 600)).copy(kArea).convertToFormat(QImage::Format_RGB32);
}

// A save dialog that notes what the capture window showed when it was asked.
class WatchingSaveDialog : public FakeSaveDialog {
public:
    std::optional<QString> ask(const SaveDialogRequest& request) override {
        if (window) {
            stripShown = window->Picture1.Visible();
            panelShown = window->Picture2.Visible();
            frameShown = window->Shape1.Visible();
            clipboardSets = clipboard ? clipboard->sets : -1;
        }
        return FakeSaveDialog::ask(request);
    }
    QPointer<frmCapture> window;
    FakeClipboard* clipboard = nullptr;
    bool stripShown = false, panelShown = false, frameShown = false;
    int clipboardSets = -1;
};
} // namespace

class TstToolbarOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyPutsTheBareAreaOnTheClipboard();
    void cancelledSaveEndsWithTheAreaCopied();
    void saveAsksWithThePanelsBackInPlace();
};

void TstToolbarOutput::copyPutsTheBareAreaOnTheClipboard() {
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    clickButton(h.w, 7);
    // Strip and panel stand over the selection.
    QVERIFY(kArea.contains(h.w->Picture1.pixelRect()));
    QVERIFY(kArea.intersects(h.w->Picture2.pixelRect()));
    clickButton(h.w, 1);
    QTRY_VERIFY(h.w.isNull());
    QCOMPARE(h.fakes.clipboard.sets, 1);
    QCOMPARE(h.fakes.clipboard.image().convertToFormat(QImage::Format_RGB32), areaOfFrozenScreen());
    QVERIFY(h.fakes.saveDialog.requests.empty());
}

void TstToolbarOutput::cancelledSaveEndsWithTheAreaCopied() {
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    clickButton(h.w, 7);
    h.fakes.saveDialog.answers = {QString()}; // cancel
    clickButton(h.w, 2);
    QTRY_VERIFY(h.w.isNull());
    QCOMPARE(h.fakes.saveDialog.requests.size(), size_t(1));
    QCOMPARE(h.fakes.clipboard.clears, 0);
    QCOMPARE(h.fakes.clipboard.image().convertToFormat(QImage::Format_RGB32), areaOfFrozenScreen());
}

void TstToolbarOutput::saveAsksWithThePanelsBackInPlace() {
    FakePlatform fakes(QSize(800, 600));
    WatchingSaveDialog dialog;
    Platform platform = fakes.platform();
    platform.saveDialog = &dialog;
    QPointer<frmCapture> w = new frmCapture(platform);
    QVERIFY(w->Load());
    w->showCapture();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    dialog.window = w;
    dialog.clipboard = &fakes.clipboard;
    QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, kSelA);
    QTest::mouseMove(w->windowHandle(), (kSelA + kSelB) / 2);
    QTest::mouseMove(w->windowHandle(), kSelB);
    QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, kSelB);
    clickButton(w, 7);
    clickButton(w, 2);
    QTRY_VERIFY(w.isNull());
    QCOMPARE(dialog.requests.size(), size_t(1));
    QVERIFY(dialog.stripShown);
    QVERIFY(dialog.panelShown);
    QVERIFY(dialog.frameShown);
    QCOMPARE(dialog.clipboardSets, 1); // the area was grabbed before the dialog
    QCOMPARE(fakes.clipboard.image().convertToFormat(QImage::Format_RGB32), areaOfFrozenScreen());
}

QTEST_MAIN(TstToolbarOutput)
#include "tst_toolbar_output.moc"
