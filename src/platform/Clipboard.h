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
    // Whether setPng works after the window that had the user's input is gone. An X11
    // clipboard belongs to the program; a Wayland compositor may take a new selection only
    // from a client that has just had input, so there the window stays until it is set.
    virtual bool setsWithoutWindow() const { return false; }
};
