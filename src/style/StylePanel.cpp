#include "style/StylePanel.h"

#include "capture/frmCapture.h"

#include <QPainter>

StylePanel::StylePanel(frmCapture* owner) : QWidget(owner), owner_(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void StylePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xDE, 0xEE, 0xFF));
}
