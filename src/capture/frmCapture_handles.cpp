// Resizing the selection with its eight handles.
#include "capture/SelectionGeometry.h"
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "platform/MousePointer.h"

namespace {
// The resize pointer over each handle.
constexpr int kHandlePointer[8] = {
    PointerShape::SizeNWSE, PointerShape::SizeNS, PointerShape::SizeNESW, PointerShape::SizeWE,
    PointerShape::SizeNESW, PointerShape::SizeNS, PointerShape::SizeNWSE, PointerShape::SizeWE,
};
} // namespace

void frmCapture::Image1_MouseDown(int /*Index*/, int /*Button*/, int /*Shift*/, float, float) {
    // The handles are locked while annotations are on the picture; with only the frozen
    // screen in the history the press disarms the tool instead.
    if (lngCount == 1)
        bTool = false;
    if (bTool)
        return;
    if (sState != kivo::kStateMove)
        return;
    sDrag = kivo::kDragStart;
    sngX1 = Shape1.Left();
    sngY1 = Shape1.Top();
    sngX2 = Shape1.Left() + Shape1.Width();
    sngY2 = Shape1.Top() + Shape1.Height();
    Picture1.hide();
    Picture2.hide();
    HistoryTruncate();
}

void frmCapture::Image1_MouseMove(int Index, int /*Button*/, int /*Shift*/, float, float) {
    if (Index < 0 || Index > 7)
        return;
    platform_.pointer->set(kHandlePointer[Index]);
    if (sDrag != kivo::kDragStart)
        return;
    ControlBatch batch;
    // Computed from the rectangle as it was when the drag began, not from the last move;
    // dragged past the opposite edge, the rectangle keeps its last valid size.
    const Control& handle = Image1[size_t(Index)];
    if (const auto resized =
            geometry::resizedByHandle(Index, {sngX1, sngY1, sngX2, sngY2}, float(ptNow.x),
                                      float(ptNow.y), handle.Width(), handle.Height()))
        Shape1.setGeometry(resized->left, resized->top, resized->width, resized->height);

    ImageMove();
    LabelMove();
    sngStartX = Shape1.Left();
    sngStartY = Shape1.Top();
}

void frmCapture::Image1_MouseUp(int /*Index*/, int /*Button*/, int /*Shift*/, float, float) {
    sDrag = kivo::kDragStop;
    ToolbarMove();
}
