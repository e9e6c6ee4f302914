// Annotation mode: a drag strictly inside the selection shows a preview of the armed tool's
// shape (transient, redrawn on every move) and its release draws the shape for good and
// records an undo step. The text tool instead places a text box, and commits it on the
// next release.
#include "capture/frmCapture.h"

namespace {
const QString kRectangle = QStringLiteral("添加矩形");
const QString kEllipse = QStringLiteral("添加椎圆");
const QString kText = QStringLiteral("添加文字");
const QString kArrow = QStringLiteral("添加箭头");
constexpr float kHeadSize = 10.0f;

// Keep a pointer coordinate on the selection: [lo, lo + len].
float clampTo(float v, float lo, float len) {
    if (v > lo + len)
        return lo + len;
    if (v < lo)
        return lo;
    return v;
}
} // namespace

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
static void drawShape(frmCapture& w, float x2, float y2) {
    const kivo::Colour c = w.currentColour();
    if (w.sTool == kArrow)
        frmCapture::Arrow(w, w.sngDrawX, w.sngDrawY, x2, y2, kHeadSize, c);
    else if (w.sTool == kEllipse)
        w.EllipseBox(w.sngDrawX, w.sngDrawY, x2, y2, c);
    else if (w.sTool == kRectangle)
        w.LineBox(w.sngDrawX, w.sngDrawY, x2, y2, c);
}

void frmCapture::Draw_MouseMove(float X, float Y) {
    // The button state does not matter: the preview follows the pointer while drawing.
    if (!bDrawing)
        return;
    canvas_.Cls();
    const float x2 = clampTo(X, Shape1.Left(), Shape1.Width());
    const float y2 = clampTo(Y, Shape1.Top(), Shape1.Height());
    if (sTool != kText)
        drawShape(*this, x2, y2);
}

void frmCapture::Draw_MouseUp(int /*Button*/, float X, float Y) {
    canvas_.setAutoRedraw(true);
    canvas_.Cls();
    const float x2 = clampTo(X, Shape1.Left(), Shape1.Width());
    const float y2 = clampTo(Y, Shape1.Top(), Shape1.Height());
    if (sTool == kText) {
        // The release that only places the box keeps the stroke open for the commit.
        if (!TextStep(X, Y))
            return;
    } else if (sTool == kRectangle || sTool == kEllipse || sTool == kArrow) {
        drawShape(*this, x2, y2);
    } else {
        return;
    }
    bDrawing = false;
    HistoryPush();
}
