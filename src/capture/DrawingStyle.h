#pragma once
#include "capture/frmCapture.h"

// The colour and text size that annotation drawing uses, read at the moment it draws:
// the style panel's, unless something stands in for it.
inline vb::Colour drawingColour(const frmCapture& w) {
    return w.colourOverride ? w.colourOverride() : w.currentColour();
}
inline float drawingTextSize(const frmCapture& w) {
    return w.textSizeOverride ? w.textSizeOverride() : w.chosenTextSize();
}
