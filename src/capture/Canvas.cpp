#include "capture/Canvas.h"

#include "capture/Vb.h"

#include <QPainter>

namespace {
void copyInto(QImage& dst, const QPoint& at, const QImage& src, const QRect& srcRect) {
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, src, srcRect);
}
} // namespace

QImage Canvas::Picture() const {
    if (backupRect_.isEmpty())
        return image_;
    QImage pic = image_.copy();
    copyInto(pic, backupRect_.topLeft(), backup_, backup_.rect());
    return pic;
}

void Canvas::setPicture(const QImage& pic) {
    const QRect old = image_.rect();
    image_ = pic;
    backupRect_ = QRect();
    backup_ = QImage();
    transient_.clear();
    Q_EMIT changed(old | image_.rect());
}

void Canvas::commitImage() {
    backupRect_ = QRect();
    backup_ = QImage();
}

void Canvas::Cls() {
    QRect touched = backupRect_;
    if (!backupRect_.isEmpty()) {
        copyInto(image_, backupRect_.topLeft(), backup_, backup_.rect());
        backupRect_ = QRect();
        backup_ = QImage();
    }
    for (const Transient& t : transient_)
        touched |= t.bounds;
    transient_.clear();
    if (!touched.isEmpty())
        Q_EMIT changed(touched);
}

void Canvas::keepPictureUnder(const QRect& rect) {
    const QRect grown = backupRect_ | rect;
    if (grown == backupRect_)
        return;
    // The picture's pixels over the grown rectangle: Image's where nothing was drawn yet,
    // the kept pixels where something was.
    QImage kept = image_.copy(grown);
    if (!backupRect_.isEmpty())
        copyInto(kept, backupRect_.topLeft() - grown.topLeft(), backup_, backup_.rect());
    backupRect_ = grown;
    backup_ = kept;
}

void Canvas::draw(const QRect& bounds, Painter paint) {
    const QRect r = bounded(bounds);
    if (autoRedraw_) {
        if (r.isEmpty())
            return;
        keepPictureUnder(r);
        QPainter p(&image_);
        p.setClipRect(r);
        paint(p);
    } else {
        transient_.push_back({r, std::move(paint)});
    }
    if (!r.isEmpty())
        Q_EMIT changed(r);
}

void Canvas::blit(const QPoint& pos, const QImage& src) {
    const QRect r = bounded(QRect(pos, src.size()));
    if (r.isEmpty())
        return;
    keepPictureUnder(r);
    copyInto(image_, pos, src, src.rect());
    Q_EMIT changed(r);
}

int32_t Canvas::pixel(int x, int y) const {
    if (!image_.valid(x, y))
        return -1;
    if (transient_.empty())
        return vb::fromQRgb(image_.pixel(x, y));
    // Persistence off: the transient drawing shows over Image.
    QImage one(1, 1, QImage::Format_RGB32);
    one.setPixel(0, 0, image_.pixel(x, y));
    QPainter p(&one);
    p.translate(-x, -y);
    for (const Transient& t : transient_)
        if (t.bounds.contains(x, y))
            t.paint(p);
    p.end();
    return vb::fromQRgb(one.pixel(0, 0));
}

void Canvas::paint(QPainter& p, const QRect& rect) const {
    const QRect r = rect & image_.rect();
    if (!r.isEmpty())
        p.drawImage(r.topLeft(), image_, r);
    for (const Transient& t : transient_) {
        if (!t.bounds.intersects(rect))
            continue;
        p.save();
        p.setClipRect(t.bounds & rect);
        t.paint(p);
        p.restore();
    }
}
