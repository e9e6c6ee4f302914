#include "toolbar/ToolbarStrip.h"

#include "capture/frmCapture.h"

#include <QPainter>

ToolbarStrip::ToolbarStrip(frmCapture* owner) : QWidget(owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(265, 26);
    hide();
}

void ToolbarStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xDE, 0xEE, 0xFF));
}
