#include "capture/ReadoutLabel.h"

#include "capture/ReadoutFont.h"

#include <QPainter>

ReadoutLabel::ReadoutLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(readoutFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 0));
    pal.setColor(QPalette::WindowText, QColor(255, 255, 255));
    setPalette(pal);
    setContentsMargins(2, 0, 2, 0);
    hide();
}

void ReadoutLabel::paintEvent(QPaintEvent* e) {
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
    }
    QLabel::paintEvent(e);
}
