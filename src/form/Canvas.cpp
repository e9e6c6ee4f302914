#include "form/Canvas.h"

#include "form/Basics.h"

#include <QPainter>

namespace {
void copyInto(QImage& dst, const QPoint& at, const QImage& src, const QRect& srcRect) {
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, src, srcRect);
}
} // namespace

void paintEachRect(QPainter& p, const QRegion& region,
                   const std::function<void(const QRect&)>& paint) {
    // Qt shares the work out once a clipped fill spans 96 rows or more.
    constexpr int kSharedClipRows = 48;
    for (const QRect& r : region) {
        if (r.height() <= kSharedClipRows)
            paint(r);
    }
    p.save();
    for (const QRect& r : region) {
        if (r.height() > kSharedClipRows) {
            p.setClipRect(r);
            paint(r);
        }
    }
    p.restore();
}

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

void Canvas::report(const QRegion& area) {
    for (const QRect& r : area)
        Q_EMIT changed(r);
}

void Canvas::Cls() {
    QRegion touched;
    if (!backupRect_.isEmpty()) {
        copyInto(image_, backupRect_.topLeft(), backup_, backup_.rect());
        touched = backupRect_;
        backupRect_ = QRect();
        backup_ = QImage();
    }
    for (const Transient& t : transient_)
        touched += t.area;
    transient_.clear();
    report(touched);
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
    draw(QRegion(bounded(bounds)), std::move(paint));
}

void Canvas::draw(const QRegion& area, Painter paint) {
    const QRegion a = area & image_.rect();
    if (autoRedraw_) {
        if (a.isEmpty())
            return;
        keepPictureUnder(a.boundingRect());
        QPainter p(&image_);
        p.setClipRegion(a);
        paint(p);
    } else {
        transient_.push_back({a, std::move(paint)});
    }
    report(a);
}

void Canvas::blit(const QPoint& pos, const QImage& src) {
    const QRect r = bounded(QRect(pos, src.size()));
    if (r.isEmpty())
        return;
    keepPictureUnder(r);
    copyInto(image_, pos, src, src.rect());
    Q_EMIT changed(r);
}

QImage Canvas::shared(const QRect& rect) const {
    if (rect.isEmpty() || !image_.rect().contains(rect))
        return {};
    for (const Transient& t : transient_) {
        if (t.area.intersects(rect))
            return {};
    }
    // The view holds a reference to Image's pixels, so they outlive any change to Image.
    auto* held = new QImage(image_);
    const uchar* first = held->constBits() + qsizetype(rect.y()) * held->bytesPerLine() +
                         qsizetype(rect.x()) * (held->depth() / 8);
    return QImage(
        first, rect.width(), rect.height(), held->bytesPerLine(), held->format(),
        [](void* p) { delete static_cast<QImage*>(p); }, held);
}

int32_t Canvas::pixel(int x, int y) const {
    if (!image_.valid(x, y))
        return -1;
    if (transient_.empty())
        return kivo::fromQRgb(image_.pixel(x, y));
    // Persistence off: the transient drawing shows over Image.
    QImage one(1, 1, QImage::Format_RGB32);
    one.setPixel(0, 0, image_.pixel(x, y));
    QPainter p(&one);
    p.translate(-x, -y);
    for (const Transient& t : transient_)
        if (t.area.contains(QPoint(x, y)))
            t.paint(p);
    p.end();
    return kivo::fromQRgb(one.pixel(0, 0));
}

void Canvas::paint(QPainter& p, const QRect& rect) const {
    const QRect r = rect & image_.rect();
    if (!r.isEmpty())
        p.drawImage(r.topLeft(), image_, r);
    for (const Transient& t : transient_) {
        if (!t.area.intersects(rect))
            continue;
        p.save();
        p.setClipRegion(t.area & rect);
        t.paint(p);
        p.restore();
    }
}

void Canvas::paint(QPainter& p, const QRegion& region) const {
    paintEachRect(p, region, [&](const QRect& r) {
        const QRect s = r & image_.rect();
        if (!s.isEmpty())
            p.drawImage(s.topLeft(), image_, s);
    });
    for (const Transient& t : transient_) {
        const QRegion clip = t.area & region;
        if (clip.isEmpty())
            continue;
        p.save();
        p.setClipRegion(clip);
        t.paint(p);
        p.restore();
    }
}
