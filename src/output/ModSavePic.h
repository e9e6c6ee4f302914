#pragma once
#include "output/Failure.h"

#include <QImage>
#include <QString>
#include <cstdint>

class MousePointer;
class MessageBox;

// Writes a picture to an image file in the format its extension names (see encodePicture).
// The whole file is made in memory first and then written safely (see SafeFileWrite), so a
// failure changes no file. Any failure ends in one error message; the pointer shows the
// hourglass while it works and is back to the default on every way out.
namespace ModSavePic {
Status SavePic(const QImage& picture, const QString& fileName, const QString& extension,
               int32_t quality, int32_t colourDepth, int32_t compression, MousePointer& pointer,
               MessageBox& messageBox);

// The error message's text and title.
QString errorMessage(const Failure& failure);
extern const QString kErrorTitle;
} // namespace ModSavePic
