#pragma once
#include <QByteArray>
#include <QImage>

// The system clipboard as the capture uses it: one picture.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Empty the clipboard, then offer the picture whose PNG file bytes are png. Programs that
    // ask for another picture format get it made from these bytes at their request.
    virtual void setPng(const QByteArray& png) = 0;
    // The picture on the clipboard, whoever put it there; a null image when there is none.
    virtual QImage image() const = 0;
    // Whether the clipboard still holds what setPng put there.
    virtual bool holdsOurs() const = 0;
    virtual void clear() = 0;
};
