// What the toolbar's copy and save buttons leave behind: the selected area on the
// clipboard without the strip or the panel over it, and the save dialog asked once with
// the panels back in place.
#include "CaptureHarness.h"
#include "toolbar/ToolbarButton.h"
#include "toolbar/ToolbarStrip.h"

#include <QSignalSpy>
#include <QTemporaryDir>

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

} // namespace

class TstToolbarOutput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void copyPutsTheBareAreaOnTheClipboard();
    void cancelledSaveEndsWithTheAreaCopied();
    void saveAsksWithThePanelsBackInPlace();
    void eventsDuringACopyNeverEndTheWindowUnderIt();
    void windowClosedDuringTheSaveDialog();
};

void TstToolbarOutput::copyPutsTheBareAreaOnTheClipboard() {
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    clickButton(h.w, kivo::kButtonRectangle);
    // Strip and panel stand over the selection.
    QVERIFY(kArea.contains(h.w->Picture1.pixelRect()));
    QVERIFY(kArea.intersects(h.w->Picture2.pixelRect()));
    clickButton(h.w, kivo::kButtonCopy);
    QTRY_VERIFY(h.w.isNull());
    QCOMPARE(h.fakes.clipboard.sets, 1);
    QCOMPARE(h.fakes.clipboard.image().convertToFormat(QImage::Format_RGB32), areaOfFrozenScreen());
    QVERIFY(h.fakes.saveDialog.requests.empty());
}

void TstToolbarOutput::cancelledSaveEndsWithTheAreaCopied() {
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    clickButton(h.w, kivo::kButtonRectangle);
    h.fakes.saveDialog.answers = {QString()}; // cancel
    clickButton(h.w, kivo::kButtonSave);
    QTRY_VERIFY(h.w.isNull());
    QCOMPARE(h.fakes.saveDialog.requests.size(), size_t(1));
    QCOMPARE(h.fakes.clipboard.clears, 0);
    QCOMPARE(h.fakes.clipboard.image().convertToFormat(QImage::Format_RGB32), areaOfFrozenScreen());
}

void TstToolbarOutput::saveAsksWithThePanelsBackInPlace() {
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    clickButton(h.w, kivo::kButtonRectangle);
    bool strip = false, panel = false, frame = false;
    int sets = -1;
    h.fakes.saveDialog.onAsk = [&] {
        strip = h.w->Picture1.Visible();
        panel = h.w->Picture2.Visible();
        frame = h.w->Shape1.Visible();
        sets = h.fakes.clipboard.sets;
    };
    clickButton(h.w, kivo::kButtonSave);
    QTRY_VERIFY(h.w.isNull());
    QCOMPARE(h.fakes.saveDialog.requests.size(), size_t(1));
    QVERIFY(strip && panel && frame);
    QCOMPARE(sets, 1); // the area was grabbed before the dialog
    QCOMPARE(h.fakes.clipboard.image(), areaOfFrozenScreen());
}

void TstToolbarOutput::eventsDuringACopyNeverEndTheWindowUnderIt() {
    // Clicks queued while a copy runs (a busy machine): a double-click, two right-clicks.
    // They are handled after the copy, on a window that has already ended.
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
    const QPointF in(300, 400);
    for (const auto& [type, button] : {std::pair{QEvent::MouseButtonDblClick, Qt::LeftButton},
                                       {QEvent::MouseButtonPress, Qt::RightButton},
                                       {QEvent::MouseButtonRelease, Qt::RightButton},
                                       {QEvent::MouseButtonPress, Qt::RightButton},
                                       {QEvent::MouseButtonRelease, Qt::RightButton}})
        QCoreApplication::postEvent(h.w, new QMouseEvent(type, in, h.w->mapToGlobal(in), button,
                                                         type == QEvent::MouseButtonRelease
                                                             ? Qt::NoButton
                                                             : Qt::MouseButtons(button),
                                                         Qt::NoModifier));
    Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonCopy);
    QCOMPARE(ended.count(), 1);
    QTRY_VERIFY(h.w.isNull());
    QCOMPARE(ended.count(), 1);
    QCOMPARE(h.fakes.clipboard.sets, 1);
    QCOMPARE(h.fakes.clipboard.image(), areaOfFrozenScreen());
}

void TstToolbarOutput::windowClosedDuringTheSaveDialog() {
    // While the dialog runs its own event loop the window manager closes the capture and
    // deferred deletions run: the window outlives the save, which writes its file.
    CaptureHarness h(QSize(800, 600));
    h.select(kSelA, kSelB);
    QTemporaryDir dir;
    h.fakes.saveDialog.answers = {dir.filePath("shot.png")};
    bool aliveInDialog = false;
    h.fakes.saveDialog.onAsk = [&] {
        h.w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        aliveInDialog = !h.w.isNull();
    };
    QSignalSpy ended(h.w.data(), &frmCapture::unloaded);
    Q_EMIT h.w->toolbar()->buttonClicked(kivo::kButtonSave);
    QVERIFY(aliveInDialog);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(QImage(dir.filePath("shot.png")).convertToFormat(QImage::Format_RGB32),
             areaOfFrozenScreen());
    QTRY_VERIFY(h.w.isNull());
}

QTEST_MAIN(TstToolbarOutput)
#include "tst_toolbar_output.moc"
