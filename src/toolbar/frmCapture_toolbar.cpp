// PLACEHOLDER (toolbar commands): replaced by the toolbar work.
#include "capture/frmCapture.h"

void frmCapture::Image2_Click(int) {}
void frmCapture::Image2_MouseMove(int) {}
void frmCapture::Picture1_MouseMove() {}
void frmCapture::Picture2_MouseMove() {}
void frmCapture::pauseAndPump() {}
