#pragma once
#include <QImage>
#include <QRect>

// A grab of the X root window through shared memory: the X server writes the pixels
// straight into the picture's buffer, with no copy through the socket and no second
// buffer. A null image when the display is not X11, has no shared memory, or is not a
// 24/32-bit TrueColor display; the caller then falls back to Qt's own grab.
QImage grabRootWithShm(const QRect& area);
