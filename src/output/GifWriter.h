#pragma once
#include "output/Failure.h"

#include <QByteArray>
#include <QImage>

// GIF with one 256-entry palette, written by giflib. A picture with at most 256 colours
// keeps them exactly; a richer one is reduced by giflib's median-cut quantizer, after which
// each palette entry becomes the mean of the pixels mapped to it (the quantizer itself
// keeps only 5 bits per channel, so white would come out as #f8f8f8).
namespace GifWriter {
// The GIF file's bytes, or why the picture cannot be one.
Result<QByteArray> encode(const QImage& image);
} // namespace GifWriter
