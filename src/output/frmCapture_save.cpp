// PLACEHOLDER (save command): replaced by the copy-and-save work.
#include "capture/frmCapture.h"

void frmCapture::CutdSave() {}
