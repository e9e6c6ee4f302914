#include "style/StylePictures.h"

#include "form/Basics.h"

#include <QFont>
#include <QPainter>

namespace {
constexpr int kW = 50, kH = 22, kButtonW = 14;

void drawDownArrow(QPainter& p, const QRect& button, const QColor& colour) {
    const QPoint c = button.center();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygon(
        {QPoint(c.x() - 3, c.y() - 1), QPoint(c.x() + 4, c.y() - 1), QPoint(c.x(), c.y() + 3)}));
}
} // namespace

QPixmap comboFacePicture(int index, float scale) {
    QPixmap pm(kivo::roundInt(kW * scale), kivo::roundInt(kH * scale));
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.scale(pm.width() / double(kW), pm.height() / double(kH));
    const QRect box(0, 0, kW - 1, kH - 1);
    const QRect button(kW - kButtonW - 1, 1, kButtonW, kH - 2);
    switch (index) {
    case 1: // hover: the arrow button framed and highlighted
        p.setPen(QColor(120, 150, 190));
        p.drawRect(box);
        p.fillRect(button, QColor(220, 236, 252));
        p.setPen(QColor(60, 127, 177));
        p.drawRect(button.adjusted(0, 0, -1, -1));
        drawDownArrow(p, button, QColor(30, 30, 30));
        break;
    case 2: // pressed: a blue frame and a light-blue arrow button
        p.setPen(QColor(0, 84, 227));
        p.drawRect(box);
        p.fillRect(button, QColor(170, 210, 250));
        drawDownArrow(p, button, QColor(0, 50, 140));
        break;
    default: // normal: a white box with a small dark arrow
        p.setPen(QColor(150, 160, 175));
        p.drawRect(box);
        drawDownArrow(p, button, QColor(50, 50, 50));
        break;
    }
    return pm;
}

QPixmap letterPicture(float scale) {
    const int side = kivo::roundInt(16 * scale);
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    p.setPen(QPen(QColor(20, 70, 200), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(2.5, 14), QPointF(8, 2), QPointF(13.5, 14)}));
    p.drawLine(QPointF(5, 9.5), QPointF(11, 9.5));
    return pm;
}
