// The text tool's box: placed at a release point, widened as the user types, and burnt
// into the picture at the next release in the colour and size current at that moment.
#include "capture/TextBox.h"
#include "capture/frmCapture.h"
#include "form/ChromeScale.h"

#include <QFontMetrics>
#include <QPainter>

double frmCapture::textPoints() const {
    // As large as the chrome around it: on a 200 % screen, twice the pixels.
    return kivo::pointSize(chosenTextSize(), scale_, logicalDpiY());
}

frmCapture::TextPaint frmCapture::openText() {
    QFont font = drawFont_;
    font.setPointSizeF(textPoints());
    const QFontMetrics fm(font);
    const QString text = textEditW_->text();
    const QPoint at(kivo::roundInt(TextEdit.Left()), kivo::roundInt(TextEdit.Top()));
    // The text's top-left corner at the box's; glyphs may overhang their advance a little.
    const QRect cell(at, QSize(fm.horizontalAdvance(text), fm.height()));
    const QRect bounds = cell | fm.boundingRect(text).translated(at.x(), at.y() + fm.ascent());
    return {font, kivo::toQColor(currentColour()), at, text, bounds.adjusted(-2, -2, 2, 2)};
}

void frmCapture::paintText(QPainter& p, const TextPaint& t) {
    p.setFont(t.font);
    p.setPen(t.colour);
    p.drawText(QPoint(t.at.x(), t.at.y() + QFontMetrics(t.font).ascent()), t.text);
}

bool frmCapture::TextStep(float X, float Y) {
    const kivo::Colour colour = currentColour();
    QPalette pal = textEditW_->palette();
    pal.setColor(QPalette::Text, kivo::toQColor(colour));
    textEditW_->setPalette(pal);

    // The window's drawing font and the box take the chosen size together, so that the
    // box measures and shows its text as it will be drawn.
    drawFont_.setPointSizeF(textPoints());
    textEditW_->setFont(drawFont_);

    if (!TextEdit.Visible()) {
        // Placed at the release point itself, even near the screen's edges.
        TextEdit.move(X, Y);
        TextEdit.setWidth(25 * scale_);
        TextEdit.show();
        textEditW_->setFocus(Qt::OtherFocusReason);
        return false;
    }

    if (!textEditW_->text().isEmpty()) {
        const TextPaint text = openText();
        canvas_.draw(text.bounds, [text](QPainter& p) { paintText(p, text); });
    }
    TextEdit.hide();
    textEditW_->setText(QString());
    return true;
}

void frmCapture::TextEdit_Change() {
    // The box widens to its text exactly; it never narrows and its height stays.
    const float width = float(QFontMetrics(drawFont_).horizontalAdvance(textEditW_->text()));
    if (width > TextEdit.Width())
        TextEdit.setWidth(width);
    placeTextBox();
}

void frmCapture::placeTextBox() {
    auto* box = static_cast<TextBox*>(textEditW_);
    if (!TextEdit.Visible()) {
        box->hide();
        return;
    }
    // At least the box's own size, and large enough to show its whole text, placed so that
    // the text stands where the commit will draw it.
    const QSize need = box->sizeFor(box->fontMetrics().horizontalAdvance(box->text()));
    const QRect model = TextEdit.pixelRect();
    const QSize size(std::max(model.width(), need.width()),
                     std::max(model.height(), need.height()));
    box->setGeometry(QRect(model.topLeft() - box->textOrigin(size), size));
    box->show();
}
