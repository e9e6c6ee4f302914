#include "capture/ReadoutLabel.h"

#include "capture/ReadoutFont.h"

#include <QPainter>
#include <cmath>

ReadoutLabel::ReadoutLabel(QWidget* parent, float scale) : QLabel(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(readoutFont(scale, logicalDpiY()));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 0));
    pal.setColor(QPalette::WindowText, QColor(255, 255, 255));
    setPalette(pal);
    const int margin = kivo::roundInt(2 * scale);
    setContentsMargins(margin, 0, margin, 0);
    layout_.setTextFormat(Qt::PlainText);
    layout_.setPerformanceHint(QStaticText::AggressiveCaching);
    hide();
}

const QStaticText& ReadoutLabel::laidOut() const {
    if (layout_.text() != text() || !sized_) {
        layout_.setText(text());
        layout_.prepare(QTransform(), font());
        const QMargins m = contentsMargins();
        const QSizeF s = layout_.size();
        size_ = QSize(int(std::ceil(s.width())) + m.left() + m.right(),
                      fontMetrics().height() + m.top() + m.bottom());
        sized_ = true;
    }
    return layout_;
}

QSize ReadoutLabel::sizeHint() const {
    laidOut();
    return size_;
}

void ReadoutLabel::paintEvent(QPaintEvent*) {
    const QStaticText& t = laidOut();
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    // Left-aligned and centred vertically, as a one-line label shows it.
    const QRect cr = contentsRect();
    p.drawStaticText(QPointF(cr.left(), cr.top() + (cr.height() - fontMetrics().height()) / 2), t);
}
