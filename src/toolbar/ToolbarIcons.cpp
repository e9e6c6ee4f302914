#include "toolbar/ToolbarIcons.h"

#include "form/Vocabulary.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kInk(40, 64, 112);
const QColor kGreen(30, 140, 60);
const QColor kRed(200, 40, 40);

void drawBackArrow(QPainter& p, bool mirrored) {
    // A curved arrow turning back: mirrored for redo.
    if (mirrored) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath curve;
    curve.moveTo(4.5, 6.5);
    curve.lineTo(9.5, 6.5);
    curve.cubicTo(15, 6.5, 15, 13.5, 9.5, 13.5);
    curve.lineTo(6, 13.5);
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(1, 6.5), QPointF(5.5, 2.5), QPointF(5.5, 10.5)}));
}

void drawIcon(QPainter& p, int index) {
    const QPen pen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (index) {
    case kivo::kButtonUndo:
        drawBackArrow(p, false);
        break;
    case kivo::kButtonRedo:
        drawBackArrow(p, true);
        break;
    case kivo::kButtonRectangle:
        p.setPen(QPen(kInk, 1.5));
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        break;
    case kivo::kButtonEllipse:
        p.setPen(QPen(kInk, 1.5));
        p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
        break;
    case kivo::kButtonText: {
        p.setPen(pen);
        p.drawLine(QPointF(3, 3), QPointF(13, 3));
        p.drawLine(QPointF(8, 3), QPointF(8, 13.5));
        p.drawLine(QPointF(5.5, 13.5), QPointF(10.5, 13.5));
        break;
    }
    case kivo::kButtonArrow:
        p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(2.5, 13.5), QPointF(11, 5));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(QPolygonF({QPointF(14, 2), QPointF(13, 9), QPointF(7, 3)}));
        break;
    case kivo::kButtonSave: // a floppy disk
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(90, 130, 200));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        break;
    case kivo::kButtonExit: // a red cross
        p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    default: // copy and exit: a green tick
        p.setPen(QPen(kGreen, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        break;
    }
}
} // namespace

QPixmap toolbarIcon(int index, float scale) {
    const int side = kivo::roundInt(16 * scale);
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    drawIcon(p, index);
    return pm;
}
