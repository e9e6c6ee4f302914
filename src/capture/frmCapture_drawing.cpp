// Annotation mode: a drag strictly inside the selection shows a preview of the armed tool's
// shape (transient, redrawn on every move) and its release draws the shape for good and
// records an undo step. The text tool instead places a text box, and commits it on the
// next release.
#include "capture/SelectionGeometry.h"
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"

using geometry::clampToSpan;
using kivo::kToolArrow;
using kivo::kToolEllipse;
using kivo::kToolRectangle;
using kivo::kToolText;

void frmCapture::Draw_MouseDown(int /*Button*/, float X, float Y) {
    const float L = Shape1.Left(), T = Shape1.Top(), W = Shape1.Width(), H = Shape1.Height();
    // On the border or outside: nothing at all, the selection stays as it is.
    if (!(X > L && X < L + W && Y > T && Y < T + H))
        return;
    bDrawing = true;
    canvas_.setAutoRedraw(false);
    sngDrawX = X;
    sngDrawY = Y;
}

// Draw the armed tool's shape from the press point to (x2, y2) on the current layer.
void frmCapture::drawShape(float x2, float y2) {
    const kivo::Colour c = currentColour();
    if (sTool == kToolArrow)
        Arrow(*this, sngDrawX, sngDrawY, x2, y2, kivo::kArrowHeadSize, c);
    else if (sTool == kToolEllipse)
        EllipseBox(sngDrawX, sngDrawY, x2, y2, c);
    else if (sTool == kToolRectangle)
        LineBox(sngDrawX, sngDrawY, x2, y2, c);
}

void frmCapture::Draw_MouseMove(float X, float Y) {
    // The button state does not matter: the preview follows the pointer while drawing.
    if (!bDrawing)
        return;
    canvas_.Cls();
    const float x2 = clampToSpan(X, Shape1.Left(), Shape1.Width());
    const float y2 = clampToSpan(Y, Shape1.Top(), Shape1.Height());
    if (sTool != kToolText)
        drawShape(x2, y2);
}

void frmCapture::Draw_MouseUp(int /*Button*/, float X, float Y) {
    canvas_.setAutoRedraw(true);
    canvas_.Cls();
    const float x2 = clampToSpan(X, Shape1.Left(), Shape1.Width());
    const float y2 = clampToSpan(Y, Shape1.Top(), Shape1.Height());
    if (sTool == kToolText) {
        // The release that only places the box keeps the stroke open for the commit.
        if (!TextStep(X, Y))
            return;
    } else if (sTool == kToolRectangle || sTool == kToolEllipse || sTool == kToolArrow) {
        drawShape(x2, y2);
    } else {
        return;
    }
    bDrawing = false;
    HistoryPush();
}
