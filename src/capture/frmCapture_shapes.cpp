// The window's drawing primitives: a one-pixel line with both end points, the outline of a
// box with both corners, and an ellipse outline inside a box. Each reports only the strips
// its outline covers, so a preview move repaints a thin region rather than the shape's box.
#include "capture/frmCapture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
// Outline regions are kept to a few boxes: each box costs its area in repainting, but
// every further box makes merging the repaint regions slower.
constexpr qreal kPiece = 48;
constexpr int kMaxPieces = 16;

// The pixels of a segment from a to b, with margin pixels to spare, as a few boxes.
void addSegment(QRegion& region, QPointF a, QPointF b, int margin) {
    const QPointF d = b - a;
    const qreal length = std::max(std::abs(d.x()), std::abs(d.y()));
    const int pieces = std::clamp(int(std::ceil(length / kPiece)), 1, kMaxPieces);
    for (int i = 0; i < pieces; ++i) {
        const QPointF p = a + d * (qreal(i) / pieces);
        const QPointF q = a + d * (qreal(i + 1) / pieces);
        const QRect box(
            QPoint(int(std::floor(std::min(p.x(), q.x()))),
                   int(std::floor(std::min(p.y(), q.y())))),
            QPoint(int(std::ceil(std::max(p.x(), q.x()))), int(std::ceil(std::max(p.y(), q.y())))));
        region += box.adjusted(-margin, -margin, margin, margin);
    }
}

// The pixels of the outline of the ellipse inscribed in path, as the boxes of a few arcs.
// Arcs never cross a quadrant's end, so each lies within the box of its two end points.
QRegion ellipseRegion(const QRectF& path) {
    const QPointF c = path.center();
    const qreal a = path.width() / 2, b = path.height() / 2;
    const int perQuadrant = std::clamp(int(std::ceil((a + b) / (2 * kPiece))), 1, 6);
    const int arcs = 4 * perQuadrant;
    QRegion region;
    QPointF from(c.x() + a, c.y());
    for (int i = 1; i <= arcs; ++i) {
        const qreal t = 2 * M_PI * i / arcs;
        const QPointF to(c.x() + a * std::cos(t), c.y() + b * std::sin(t));
        const QRect box(QPoint(int(std::floor(std::min(from.x(), to.x()))),
                               int(std::floor(std::min(from.y(), to.y())))),
                        QPoint(int(std::ceil(std::max(from.x(), to.x()))),
                               int(std::ceil(std::max(from.y(), to.y())))));
        region += box.adjusted(-2, -2, 2, 2);
        from = to;
    }
    return region;
}

// The box with corners (x1, y1) and (x2, y2), both included, whichever way it was dragged.
// (QRect::normalized() would move a corner by a pixel.)
QRect cornersBox(float x1, float y1, float x2, float y2) {
    const int ax = kivo::roundInt(x1), ay = kivo::roundInt(y1), bx = kivo::roundInt(x2),
              by = kivo::roundInt(y2);
    return QRect(QPoint(std::min(ax, bx), std::min(ay, by)),
                 QPoint(std::max(ax, bx), std::max(ay, by)));
}

QPen pen(kivo::Colour colour) {
    QPen p(kivo::toQColor(colour), 1);
    p.setCapStyle(Qt::SquareCap); // the end point is drawn too
    return p;
}
} // namespace

void frmCapture::Line(float x1, float y1, float x2, float y2, kivo::Colour colour) {
    const QPoint a(kivo::roundInt(x1), kivo::roundInt(y1));
    const QPoint b(kivo::roundInt(x2), kivo::roundInt(y2));
    QRegion area;
    addSegment(area, a, b, 1);
    canvas_.draw(area, [a, b, colour](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(pen(colour));
        if (a == b)
            p.drawPoint(a);
        else
            p.drawLine(a, b);
    });
}

void frmCapture::LineBox(float x1, float y1, float x2, float y2, kivo::Colour colour) {
    const QRect box = cornersBox(x1, y1, x2, y2);
    // Four one-pixel strips: exact coverage, corners included, and nothing inside repainted.
    const QRect edges[4] = {QRect(box.left(), box.top(), box.width(), 1),
                            QRect(box.left(), box.bottom(), box.width(), 1),
                            QRect(box.left(), box.top(), 1, box.height()),
                            QRect(box.right(), box.top(), 1, box.height())};
    QRegion area;
    for (const QRect& e : edges)
        area += e;
    const QColor c = kivo::toQColor(colour);
    canvas_.draw(area, [area, c](QPainter& p) {
        for (const QRect& r : area)
            p.fillRect(r, c);
    });
}

void frmCapture::EllipseBox(float x1, float y1, float x2, float y2, kivo::Colour colour) {
    // Like the platform's ellipse: the box's right and bottom edges lie outside the shape.
    const QRect box = cornersBox(x1, y1, x2, y2);
    const int w = box.width() - 1, h = box.height() - 1; // the box of (x1,y1)-(x2,y2), exclusive
    if (w < 1 || h < 1)
        return;
    // Aliased outline through the pixels left .. left + w - 1: its path spans w - 1 pixels.
    const QRectF path(box.left(), box.top(), w - 1, h - 1);
    QRegion area = ellipseRegion(path);
    area &= QRect(box.left(), box.top(), w, h);
    canvas_.draw(area, [path, colour](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(pen(colour));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(path);
    });
}
