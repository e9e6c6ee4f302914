#pragma once
#include "output/Failure.h"

#include <QByteArray>
#include <QImage>

// Turns a picture into bytes and back, losslessly. The byte form is private to the
// program (the undo history keeps its snapshots in it):
//   "KIVOPIC\0"  8-byte magic
//   u32 version (1), u32 width, u32 height, u32 QImage format, then width*height*4
//   bytes of pixels, rows top to bottom, 32 bits per pixel; all integers little-endian.
class ExcelPropertyBag {
public:
    static constexpr quint32 kVersion = 1;
    static constexpr quint32 kMaxSide = 65535;
    virtual ~ExcelPropertyBag() = default;

    // bytes = the byte form of pic (replacing what bytes held).
    void WriteP(QByteArray& bytes, const QImage& pic) const;
    // The picture that bytes hold; an invalid-picture failure when bytes are not such a
    // form, out of memory when the picture cannot be allocated.
    // (Virtual so that a test can hand the history a bag that fails.)
    virtual Result<QImage> ReadP(const QByteArray& bytes) const;
};
