// The undo history of whole pictures: one snapshot per finished annotation, walked by
// undo and redo; a new annotation after an undo cuts off the steps redo could reach.
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "platform/MessageBox.h"

// A snapshot that cannot be rebuilt (damaged, or no memory for it): the picture stays as
// it is shown, and the user is told.
void frmCapture::reportHistoryFailure(const Failure& failure) {
    ModalScope modal(*this);
    platform_.messageBox->show(
        QStringLiteral("在恢复图片的过程中发生错误:\r\n\r\n错误号: %1\r\n错误描述: %2")
            .arg(failure.number)
            .arg(failure.description),
        QStringLiteral("错误"), MessageBox::Information);
}

void frmCapture::HistoryStart() {
    lngCount = 1;
    lngMax = 1;
    if (!objBag)
        objBag = std::make_unique<ExcelPropertyBag>();
    arrHistory.start(canvas_.Picture());
}

void frmCapture::HistoryPush() {
    if (!objBag)
        objBag = std::make_unique<ExcelPropertyBag>();
    lngCount = lngCount + 1;
    lngMax = lngCount;
    arrHistory.resize(lngCount - 1);
    // Recorded before the picture takes the drawing: the canvas still knows what it drew over.
    const Status recorded = arrHistory.record(lngCount, canvas_, *objBag);
    canvas_.commitImage();
    if (!recorded.ok()) {
        // The drawing stays on the picture, but no step can undo it.
        lngCount = lngCount - 1;
        lngMax = lngCount;
        arrHistory.forgetShown();
        reportHistoryFailure(recorded.failure());
    }
}

void frmCapture::HistoryTruncate() {
    lngCount = 1;
    lngMax = 1;
    arrHistory.resize(1);
}

void frmCapture::Undo() {
    lngCount = lngCount - 1;
    if (lngCount > 0) {
        if (const Status s = arrHistory.restore(lngCount, canvas_, *objBag); !s.ok()) {
            lngCount = lngCount + 1;
            reportHistoryFailure(s.failure());
        }
        return;
    }
    // Undo with the frozen screen on show: drop the selection and start over.
    sState = kivo::kStateDraw;
    Shape1.hide();
    Picture1.hide();
    Picture2.hide();
    LblPos.hide();
    lblInfo.hide();
    Shape1.setWidth(0);
    Shape1.setHeight(0);
    for (Control& handle : Image1)
        handle.hide();
    lngCount = 1;
    bTool = false;
}

void frmCapture::Redo() {
    lngCount = lngCount + 1;
    if (lngCount > lngMax) {
        lngCount = lngMax;
        return;
    }
    if (const Status s = arrHistory.restore(lngCount, canvas_, *objBag); !s.ok()) {
        lngCount = lngCount - 1;
        reportHistoryFailure(s.failure());
    }
}
