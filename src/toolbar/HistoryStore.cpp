#include "toolbar/HistoryStore.h"

#include "capture/Canvas.h"
#include "output/ExcelPropertyBag.h"

#include <QPainter>
#include <cstring>

namespace {
// The smallest rectangle (relative to a and b) outside which a and b are equal.
QRect differingBounds(const QImage& a, const QImage& b) {
    int top = -1, bottom = -1, left = a.width(), right = -1;
    const size_t rowBytes = size_t(a.width()) * 4;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const quint32*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const quint32*>(b.constScanLine(y));
        if (std::memcmp(pa, pb, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x0 = 0;
        while (x0 < a.width() && pa[x0] == pb[x0])
            ++x0;
        int x1 = a.width() - 1;
        while (x1 > x0 && pa[x1] == pb[x1])
            --x1;
        left = std::min(left, x0);
        right = std::max(right, x1);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void paste(QImage& dst, const QPoint& at, const QImage& src) {
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, src);
}
} // namespace

void HistoryStore::start(const QImage& frozen) {
    first_ = frozen;
    steps_.clear();
    shown_ = 1;
}

void HistoryStore::resize(int upper) {
    if (upper < 1)
        upper = 1;
    steps_.resize(size_t(upper - 1));
    if (shown_ > upper)
        shown_ = 0;
}

void HistoryStore::record(int k, const Canvas& canvas, const ExcelPropertyBag& bag) {
    Step step;
    const QImage& now = canvas.Image();
    if (shown_ == k - 1) {
        // The canvas showed snapshot k-1 before drawing: what changed lies in the
        // kept-aside rectangle, and those kept pixels are snapshot k-1's.
        const QRect kept = canvas.backupRect();
        const QImage before = canvas.backupPixels();
        const QImage after = kept.isEmpty() ? QImage() : now.copy(kept);
        const QRect diff = kept.isEmpty() ? QRect() : differingBounds(before, after);
        if (!diff.isEmpty()) {
            step.rect = diff.translated(kept.topLeft());
            bag.WriteP(step.before, before.copy(diff));
            bag.WriteP(step.after, after.copy(diff));
        }
    } else {
        // The picture was not a known snapshot (the history was cut back under it):
        // compare against snapshot k-1 whole.
        const QImage base = snapshot(k - 1, bag);
        const QRect diff = differingBounds(base, now);
        if (!diff.isEmpty()) {
            step.rect = diff;
            bag.WriteP(step.before, base.copy(diff));
            bag.WriteP(step.after, now.copy(diff));
        }
    }
    resize(k - 1);
    steps_.push_back(std::move(step));
    shown_ = k;
}

QImage HistoryStore::snapshot(int k, const ExcelPropertyBag& bag) const {
    QImage img = first_;
    for (int i = 2; i <= k; ++i) {
        const Step& s = step(i);
        if (!s.rect.isEmpty())
            paste(img, s.rect.topLeft(), bag.ReadP(s.after));
    }
    return img;
}

void HistoryStore::restore(int k, Canvas& canvas, const ExcelPropertyBag& bag) {
    if (shown_ < 1) {
        canvas.setPicture(first_);
        shown_ = 1;
    }
    while (shown_ > k) {
        const Step& s = step(shown_);
        if (!s.rect.isEmpty())
            canvas.blit(s.rect.topLeft(), bag.ReadP(s.before));
        --shown_;
    }
    while (shown_ < k) {
        ++shown_;
        const Step& s = step(shown_);
        if (!s.rect.isEmpty())
            canvas.blit(s.rect.topLeft(), bag.ReadP(s.after));
    }
    canvas.commitImage();
}

qint64 HistoryStore::stepBytes() const {
    qint64 n = 0;
    for (const Step& s : steps_)
        n += s.before.size() + s.after.size();
    return n;
}
