#include "toolbar/HistoryStore.h"

#include "form/Canvas.h"

#include <QPainter>
#include <cstring>

namespace {
// The smallest rectangle inside area (window pixels) outside which a and b are equal; a and
// b hold the window's pixels from their origins aAt and bAt. Empty when they are equal.
QRect differingBounds(const QImage& a, QPoint aAt, const QImage& b, QPoint bAt, const QRect& area) {
    int top = -1, bottom = -1, left = area.right() + 1, right = area.left() - 1;
    const size_t rowBytes = size_t(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* pa = reinterpret_cast<const quint32*>(a.constScanLine(y - aAt.y())) +
                         (area.left() - aAt.x());
        const auto* pb = reinterpret_cast<const quint32*>(b.constScanLine(y - bAt.y())) +
                         (area.left() - bAt.x());
        if (std::memcmp(pa, pb, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x0 = 0;
        while (x0 < area.width() && pa[x0] == pb[x0])
            ++x0;
        int x1 = area.width() - 1;
        while (x1 > x0 && pa[x1] == pb[x1])
            --x1;
        left = std::min(left, area.left() + x0);
        right = std::max(right, area.left() + x1);
    }
    if (top < 0)
        return {};
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// The pieces where before (window pixels from beforeAt) and after differ within area.
HistoryStore::Step diffStep(const QImage& before, QPoint beforeAt, const QImage& after,
                            QPoint afterAt, const QRect& area, const ExcelPropertyBag& bag) {
    HistoryStore::Step step;
    const int t = HistoryStore::kTile;
    for (int y = area.top(); y <= area.bottom(); y += t)
        for (int x = area.left(); x <= area.right(); x += t) {
            const QRect tile = QRect(x, y, t, t) & area;
            const QRect d = differingBounds(before, beforeAt, after, afterAt, tile);
            if (d.isEmpty())
                continue;
            HistoryStore::Piece piece;
            piece.rect = d;
            bag.WriteP(piece.before, before.copy(d.translated(-beforeAt)));
            bag.WriteP(piece.after, after.copy(d.translated(-afterAt)));
            step.rect |= d;
            step.pieces.push_back(std::move(piece));
        }
    return step;
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

Status HistoryStore::record(int k, const Canvas& canvas, const ExcelPropertyBag& bag) {
    Step step;
    const QImage& now = canvas.Image();
    if (shown_ == k - 1) {
        // The canvas showed snapshot k-1 before drawing: what changed lies in the
        // kept-aside rectangle, and those kept pixels are snapshot k-1's.
        const QRect kept = canvas.backupRect();
        if (!kept.isEmpty())
            step = diffStep(canvas.backupPixels(), kept.topLeft(), now, QPoint(0, 0), kept, bag);
    } else {
        // The picture was not a known snapshot (the history was cut back under it):
        // compare against snapshot k-1 whole.
        const Result<QImage> base = snapshot(k - 1, bag);
        if (!base.ok())
            return base.failure();
        const QImage& b = base.value();
        step = diffStep(b, QPoint(0, 0), now, QPoint(0, 0), now.rect() & b.rect(), bag);
    }
    resize(k - 1);
    steps_.push_back(std::move(step));
    shown_ = k;
    return {};
}

Result<QImage> HistoryStore::snapshot(int k, const ExcelPropertyBag& bag) const {
    QImage img = first_;
    for (int i = 2; i <= k; ++i) {
        for (const Piece& p : step(i).pieces) {
            const Result<QImage> after = bag.ReadP(p.after);
            if (!after.ok())
                return after.failure();
            paste(img, p.rect.topLeft(), after.value());
        }
    }
    return img;
}

Status HistoryStore::restore(int k, Canvas& canvas, const ExcelPropertyBag& bag) {
    // Every piece is read before the canvas changes: a snapshot that cannot be rebuilt
    // leaves the canvas showing what it showed.
    std::vector<std::pair<QPoint, QImage>> pieces;
    const auto take = [&](const Piece& p, const QByteArray& bytes) {
        Result<QImage> img = bag.ReadP(bytes);
        if (img.ok())
            pieces.emplace_back(p.rect.topLeft(), std::move(img).value());
        return img.ok() ? Status() : Status(img.failure());
    };
    int at = shown_ < 1 ? 1 : shown_;
    for (; at > k; --at)
        for (const Piece& p : step(at).pieces)
            if (const Status s = take(p, p.before); !s.ok())
                return s;
    while (at < k) {
        ++at;
        for (const Piece& p : step(at).pieces)
            if (const Status s = take(p, p.after); !s.ok())
                return s;
    }
    if (shown_ < 1)
        canvas.setPicture(first_);
    for (const auto& [pos, img] : pieces)
        canvas.blit(pos, img);
    canvas.commitImage();
    shown_ = k;
    return {};
}

qint64 HistoryStore::stepBytes() const {
    qint64 n = 0;
    for (const Step& s : steps_)
        for (const Piece& p : s.pieces)
            n += p.before.size() + p.after.size();
    return n;
}
