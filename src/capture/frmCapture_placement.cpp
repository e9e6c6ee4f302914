// Keeping the handles, the read-outs and the toolbar strip attached to the selection.
#include "capture/SelectionGeometry.h"
#include "capture/frmCapture.h"
#include "form/FloatText.h"

#include <QLabel>

namespace {
geometry::Box box(const Control& c) {
    return {c.Left(), c.Top(), c.Width(), c.Height()};
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
        const geometry::Place at =
            geometry::handlePlace(i, box(Shape1), handle.Width(), handle.Height());
        handle.move(at.left, at.top);
    }
    for (Control& handle : Image1)
        handle.show();
}

void frmCapture::LabelMove() {
    setCaption(LblPos, lblPosW_,
               floatText(Shape1.Width()) + QLatin1Char('x') + floatText(Shape1.Height()));
    placeReadouts();
}

void frmCapture::placeReadouts() {
    const geometry::Place at = geometry::readoutPlace(box(Shape1), scale_);
    LblPos.move(at.left, at.top);
    lblInfo.move(at.left, geometry::infoTop(LblPos.Top(), LblPos.Height(), scale_));
}

void frmCapture::ToolbarMove() {
    const geometry::Place at =
        geometry::toolbarPlace(box(Shape1), Picture1.Width(), Picture1.Height(), SH(), scale_);
    Picture1.move(at.left, at.top);
    Picture1.show();
}

void frmCapture::setReadoutCaption(const QString& text) {
    setCaption(lblInfo, lblInfoW_, text);
}
