#pragma once
#include <QImage>

// The system clipboard as the capture uses it: one picture.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Empty the clipboard, then offer img as its picture.
    virtual void setImage(const QImage& img) = 0;
    // The picture on the clipboard; a null image when there is none.
    virtual QImage image() const = 0;
    virtual void clear() = 0;
};
