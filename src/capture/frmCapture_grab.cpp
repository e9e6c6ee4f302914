// PLACEHOLDER (area grab and copy): replaced by the copy-and-save work.
#include "capture/frmCapture.h"

void frmCapture::Form_DblClick() {}
void frmCapture::ScrnCap(int32_t, int32_t, int32_t, int32_t) {}
QImage frmCapture::renderArea(const QRect&) { return {}; }
