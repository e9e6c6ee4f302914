#pragma once
#include "output/ExcelPropertyBag.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <vector>

class Canvas;

// The snapshots of the undo history. Entry 1 is the frozen screen, kept whole (it shares
// its pixels with the picture it was taken from). Every later entry k keeps only where
// snapshot k differs from snapshot k-1, before and after, in the bag's byte form: a few
// small pieces along an outline rather than the outline's whole box, so that a step costs
// memory in proportion to what it changed.
class HistoryStore {
public:
    struct Piece {
        QRect rect;
        QByteArray before; // snapshot k-1 over rect
        QByteArray after;  // snapshot k over rect
    };
    struct Step {
        QRect rect; // the bounds of all pieces
        std::vector<Piece> pieces;
    };
    // Pieces are found in tiles of this many pixels square.
    static constexpr int kTile = 16;

    // Entry 1 = frozen; the bounds become 0 to 1.
    void start(const QImage& frozen);
    // The upper bound of the entries (entry 0 is never used).
    int upperBound() const { return first_.isNull() ? 0 : int(steps_.size()) + 1; }
    // Keep entries 1..upper, destroying those above.
    void resize(int upper);
    // Store the canvas's Image as entry k (k = upperBound() + 1 after a resize). The canvas
    // must not have committed its drawing yet: its kept-aside pixels are entry k-1's.
    // Fails, storing nothing, when snapshot k-1 has to be rebuilt and cannot be.
    Status record(int k, const Canvas& canvas, const ExcelPropertyBag& bag);
    // Make the canvas's picture snapshot k (1 <= k <= upperBound()). Fails, changing
    // nothing, when a piece on the way cannot be rebuilt.
    Status restore(int k, Canvas& canvas, const ExcelPropertyBag& bag);
    // The canvas's picture is no longer known to equal a snapshot.
    void forgetShown() { shown_ = 0; }
    int shown() const { return shown_; }

    const QImage& first() const { return first_; }
    const Step& step(int k) const { return steps_.at(size_t(k - 2)); }
    // Snapshot k, rebuilt whole (for tests and for the rare case the canvas is unknown).
    Result<QImage> snapshot(int k, const ExcelPropertyBag& bag) const;
    // Bytes held by the entries after the first.
    qint64 stepBytes() const;

private:
    QImage first_;
    std::vector<Step> steps_; // steps_[i] is entry i + 2
    int shown_ = 0;           // the snapshot the canvas's picture equals; 0 when unknown
};
