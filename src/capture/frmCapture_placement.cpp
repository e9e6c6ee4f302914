// Keeping the handles, the read-outs and the toolbar strip attached to the selection.
#include "capture/FloatText.h"
#include "capture/frmCapture.h"

#include <QLabel>

namespace {
// Where each handle goes, by index: 0 top-left, then clockwise-ish as the frame numbers them.
struct HandlePlace {
    float left, top;
};

HandlePlace handlePlace(int index, float L, float T, float W, float H, float hw, float hh) {
    switch (index) {
    case 0:
        return {L - hw / 2, T - hh / 2};
    case 1:
        return {L + W / 2 - hw / 2, T - hh / 2};
    case 2:
        // The top-right handle uses a divisor of 1.5: it sits two thirds of a pixel further left.
        return {float(double(L + W) - double(hw) / 1.5), T - hh / 2};
    case 3:
        return {L - hw / 2, T + H / 2 - hh / 2};
    case 4:
        return {L - hw / 2, T + H - hh / 2};
    case 5:
        return {L + W / 2 - hw / 2, T + H - hh / 2};
    case 6:
        return {L + W - hw / 2, T + H - hh / 2};
    default:
        return {L + W - hw / 2, T + H / 2 - hh / 2};
    }
}

// A read-out label sizes itself to its text.
void setCaption(Control& control, QLabel* label, const QString& text) {
    if (label->text() == text)
        return;
    label->setText(text);
    const QSize s = label->sizeHint();
    control.setGeometry(control.Left(), control.Top(), float(s.width()), float(s.height()));
}
} // namespace

void frmCapture::ImageMove() {
    for (int i = 0; i < 8; ++i) {
        Control& handle = Image1[size_t(i)];
        const HandlePlace at = handlePlace(i, Shape1.Left(), Shape1.Top(), Shape1.Width(), Shape1.Height(),
                                           handle.Width(), handle.Height());
        handle.move(at.left, at.top);
    }
    for (Control& handle : Image1)
        handle.show();
}

void frmCapture::LabelMove() {
    setCaption(LblPos, lblPosW_, floatText(Shape1.Width()) + QLatin1Char('x') + floatText(Shape1.Height()));
    LblPos.move(Shape1.Left() + 2, Shape1.Top() + 2);
    lblInfo.move(Shape1.Left() + 2, LblPos.Top() + LblPos.Height() + 2);
}

void frmCapture::ToolbarMove() {
    const float L = Shape1.Left(), T = Shape1.Top(), W = Shape1.Width(), H = Shape1.Height();
    const float PW = Picture1.Width(), PH = Picture1.Height();
    // Strictly smaller: a strip that ends exactly on the last row still goes under the frame.
    if (SH() < float(T + H + 4 + PH))
        Picture1.move(L + W - PW, T + H - PH - 4);
    else
        Picture1.move(L + W - PW, T + H + 4);
    if (Picture1.Left() < 0)
        Picture1.setLeft(0);
    Picture1.show();
}

void frmCapture::setReadoutCaption(const QString& text) { setCaption(lblInfo, lblInfoW_, text); }
