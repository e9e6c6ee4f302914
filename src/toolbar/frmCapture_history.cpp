// The undo history of whole pictures: one snapshot per finished annotation, walked by
// undo and redo; a new annotation after an undo cuts off the steps redo could reach.
#include "capture/frmCapture.h"

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
    arrHistory.record(lngCount, canvas_, *objBag);
    canvas_.commitImage();
}

void frmCapture::HistoryTruncate() {
    lngCount = 1;
    lngMax = 1;
    arrHistory.resize(1);
}

void frmCapture::Undo() {
    lngCount = lngCount - 1;
    if (lngCount > 0) {
        arrHistory.restore(lngCount, canvas_, *objBag);
        return;
    }
    // Undo with the frozen screen on show: drop the selection and start over.
    sState = QStringLiteral("draw");
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
    arrHistory.restore(lngCount, canvas_, *objBag);
}
