#include "capture/TextBox.h"

#include "form/Vocabulary.h"

#include <QPainter>

namespace {
// The margins a frameless line edit keeps around its text line.
constexpr int kSideMargin = 2, kTopMargin = 1;
} // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
}

QSize TextBox::sizeFor(int textWidth) const {
    return {textWidth + 2 * kSideMargin + 1, fontMetrics().height() + 2 * kTopMargin};
}

QPoint TextBox::textOrigin(const QSize& size) const {
    // The line edit centres its text line vertically.
    return {kSideMargin, (size.height() - fontMetrics().height() + 1) / 2};
}

void TextBox::paintEvent(QPaintEvent* e) {
    QLineEdit::paintEvent(e);
    // The outline lies in the margins, never over the text.
    QPainter p(this);
    p.setPen(QPen(kivo::toQColor(kivo::kFrameColour), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
