// PLACEHOLDER (annotation drawing): replaced by the annotation work.
#include "capture/frmCapture.h"

void frmCapture::Draw_MouseDown(int, float, float) {}
void frmCapture::Draw_MouseMove(float, float) {}
void frmCapture::Draw_MouseUp(int, float, float) {}
bool frmCapture::TextStep(float, float) {
    return false;
}
void frmCapture::TextEdit_Change() {}
void frmCapture::Line(float, float, float, float, vb::Colour) {}
void frmCapture::LineBox(float, float, float, float, vb::Colour) {}
void frmCapture::EllipseBox(float, float, float, float, vb::Colour) {}
