// PLACEHOLDER (style panel): replaced by the style panel work.
#include "capture/frmCapture.h"

void frmCapture::OpenCombo() {}
vb::Colour frmCapture::currentColour() const {
    return vb::rgb(255, 0, 0);
}
float frmCapture::chosenTextSize() const {
    return 11;
}
