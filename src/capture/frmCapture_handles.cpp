// Resizing the selection with its eight handles.
#include "capture/frmCapture.h"
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
    if (sState != QLatin1String("move"))
        return;
    sDrag = QStringLiteral("Start");
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
    if (sDrag != QLatin1String("Start"))
        return;
    ControlBatch batch;

    ptNow = {cursorPos_.x(), cursorPos_.y()};
    // Computed from the rectangle as it was when the drag began, not from the last move.
    const double L = sngX1, T = sngY1, R = sngX2, B = sngY2;
    const double Cx = ptNow.x, Cy = ptNow.y;
    const double hw2 = Image1[size_t(Index)].Width() / 2, hh2 = Image1[size_t(Index)].Height() / 2;
    double left = L, top = T, width = R - L, height = B - T;
    switch (Index) {
    case 0:
        left = Cx + hw2, top = Cy + hh2, width = R - Cx, height = B - Cy;
        break;
    case 1:
        top = Cy + hh2, height = B - Cy;
        break;
    case 2:
        top = Cy + hh2, width = Cx - L + hw2, height = B - Cy;
        break;
    case 3:
        left = Cx + hw2, width = R - Cx;
        break;
    case 4:
        left = Cx + hw2, width = R - Cx, height = Cy - T;
        break;
    case 5:
        height = Cy - T;
        break;
    case 6:
        width = Cx - L, height = Cy - T;
        break;
    case 7:
        width = Cx - L;
        break;
    }
    // Dragged past the opposite edge: the rectangle keeps its last valid size.
    if (width >= 0 && height >= 0)
        Shape1.setGeometry(float(left), float(top), float(width), float(height));

    ImageMove();
    LabelMove();
    sngStartX = Shape1.Left();
    sngStartY = Shape1.Top();
}

void frmCapture::Image1_MouseUp(int /*Index*/, int /*Button*/, int /*Shift*/, float, float) {
    sDrag = QStringLiteral("Stop");
    ToolbarMove();
}
