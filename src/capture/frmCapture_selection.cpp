// The window's own mouse handling while no tool is armed: drag out a selection, move it,
// discard it; and the colour read-out that follows the pointer in every case.
#include "capture/SelectionGeometry.h"
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "platform/MousePointer.h"

using kivo::kStateDraw;
using kivo::kStateMove;

void frmCapture::ResetSelection(float X, float Y) {
    Shape1.setWidth(0);
    Shape1.setHeight(0);
    sngStartX = X;
    sngStartY = Y;
    Shape1.move(sngStartX, sngStartY);
    Shape1.hide();
    LblPos.hide();
    lblInfo.hide();
    for (Control& handle : Image1)
        handle.hide();
    platform_.pointer->set(PointerShape::Default);
    sState = kStateDraw;
    lngKeepOpen = 1;
}

kivo::RECT frmCapture::selectionRect() const {
    return {kivo::roundInt(Shape1.Left()), kivo::roundInt(Shape1.Top()),
            kivo::roundInt(Shape1.Left() + Shape1.Width()),
            kivo::roundInt(Shape1.Top() + Shape1.Height())};
}

void frmCapture::Form_MouseDown(int Button, int /*Shift*/, float X, float Y) {
    // A double-click copies only when the press that began it fell inside a selection it kept.
    const bool inside =
        sState == kStateMove && selectionRect().contains(kivo::roundInt(X), kivo::roundInt(Y));
    pressCanCopy_ = inside && (bTool || Button != kivo::Right);

    if (bTool) {
        Draw_MouseDown(Button, X, Y);
        return;
    }
    Picture1.hide();
    if (sState == kStateDraw) {
        Shape1.show();
        Shape1.setWidth(0);
        Shape1.setHeight(0);
        sngStartX = X;
        sngStartY = Y;
        Shape1.move(sngStartX, sngStartY);
        if (Button == kivo::Right)
            lngKeepOpen = 0;
        return;
    }
    platform_.pointer->set(PointerShape::Crosshair);
    rcSel = selectionRect();
    if (rcSel.contains(kivo::roundInt(X), kivo::roundInt(Y))) {
        sngDownX = X;
        sngDownY = Y;
        if (Button == kivo::Right)
            ResetSelection(X, Y);
        return;
    }
    ResetSelection(X, Y);
}

void frmCapture::Form_MouseMove(int Button, int /*Shift*/, float X, float Y) {
    sngX2 = X;
    sngY2 = Y;

    int32_t R, G, B;
    kivo::SplitRgb(canvas_.pixel(kivo::roundInt(X), kivo::roundInt(Y)), R, G, B);
    setReadoutCaption(QStringLiteral("RGB(%1,%2,%3)").arg(R).arg(G).arg(B));

    if (bTool) {
        if (bDrawing)
            Draw_MouseMove(X, Y);
        return;
    }

    // The frame, read-outs and handles change several times below; show only the result.
    ControlBatch batch;
    const float L = Shape1.Left(), T = Shape1.Top();
    const bool strictlyInside = X > L && Y > T && L + Shape1.Width() > X && T + Shape1.Height() > Y;
    platform_.pointer->set(strictlyInside ? PointerShape::SizeAll : PointerShape::Crosshair);

    if (Button != kivo::Left)
        return;

    // Hidden while they move, shown again at the end.
    Shape1.hide();
    LblPos.hide();
    lblInfo.hide();

    if (sState != kStateDraw) {
        platform_.pointer->set(PointerShape::SizeAll);
        Shape1.move(geometry::movedEdge(sngStartX, sngDownX, X, Shape1.Width(), SW()),
                    geometry::movedEdge(sngStartY, sngDownY, Y, Shape1.Height(), SH()));
        placeReadouts();
    } else {
        const float sx = sngStartX, sy = sngStartY;
        if (X > sx && Y > sy)
            Shape1.setGeometry(sx, sy, X - sx, Y - sy);
        else if (X < sx && Y > sy)
            Shape1.setGeometry(X, sy, sx - X, Y - sy);
        else if (X > sx && Y < sy)
            Shape1.setGeometry(sx, Y, X - sx, sy - Y);
        else if (X < sx && Y < sy)
            Shape1.setGeometry(X, Y, sx - X, sy - Y);
        LabelMove();
        platform_.pointer->set(PointerShape::Crosshair);
    }

    ImageMove();
    Shape1.show();
    LblPos.show();
    lblInfo.show();
}

void frmCapture::Form_MouseUp(int Button, int /*Shift*/, float X, float Y) {
    if (bDrawing)
        Draw_MouseUp(Button, X, Y);
    if (Button != kivo::Left) {
        if (lngKeepOpen == 0)
            Unload();
        return;
    }
    if (sState == kStateDraw)
        sState = kStateMove;
    sngStartX = Shape1.Left();
    sngStartY = Shape1.Top();
    ToolbarMove();
}
