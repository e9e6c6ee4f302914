#pragma once
#include <QImage>
#include <QString>
#include <cstdint>

class MousePointer;
class MessageBox;

// Writes a picture to an image file in the format its extension names: jpg, png, gif,
// tiff or bmp, in any letter case. Any failure ends in one error message; the pointer
// shows the hourglass while it works and is back to the default on every way out.
namespace ModSavePic {
// quality: JPEG quality; colourDepth: TIFF bits per pixel (24); compression: TIFF
// compression code, 6 meaning none. True when the file was written.
bool SavePic(const QImage& picture, const QString& fileName, const QString& extension,
             int32_t quality, int32_t colourDepth, int32_t compression, MousePointer& pointer,
             MessageBox& messageBox);

// Error numbers of the messages.
enum ErrorNumber : int {
    UnsupportedExtension = 9, // subscript out of range: no format for that extension
    DiskFull = 61,
    FileAccess = 75,
    InvalidPicture = 481,
};
// The message text for an error number and its description.
QString errorMessage(int number, const QString& description);
} // namespace ModSavePic
