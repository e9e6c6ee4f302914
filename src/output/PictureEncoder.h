#pragma once
#include "output/Failure.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

// A picture encoded in memory as the file format an extension names: jpg (or jpeg), png,
// gif, tiff (or tif), bmp, compared in lower case. Error 9 for any other extension.
// quality: JPEG quality; colourDepth: TIFF bits per pixel (24, or 32 with alpha);
// compression: TIFF compression code, kTiffNoCompression meaning none.
Result<QByteArray> encodePicture(const QImage& picture, const QString& extension, int32_t quality,
                                 int32_t colourDepth, int32_t compression);
