// The text tool's box: placed at a release point, widened as the user types, and burnt
// into the picture at the next release in the colour and size current at that moment.
#include "capture/frmCapture.h"
#include "form/ChromeScale.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>

bool frmCapture::TextStep(float X, float Y) {
    const kivo::Colour colour = currentColour();
    QPalette pal = textEditW_->palette();
    pal.setColor(QPalette::Text, kivo::toQColor(colour));
    textEditW_->setPalette(pal);

    // The window's drawing font and the box take the chosen size together, so that the
    // box measures its text as it will be drawn.
    const float size = chosenTextSize();
    if (size > 0) {
        // As large as the chrome around it: on a 200 % screen, twice the pixels.
        const double points = kivo::pointSize(size, scale_, logicalDpiY());
        drawFont_.setPointSizeF(points);
        QFont boxFont = textEditW_->font();
        boxFont.setPointSizeF(points);
        textEditW_->setFont(boxFont);
    }

    if (!TextEdit.Visible()) {
        // Placed at the release point itself, even near the screen's edges.
        TextEdit.move(X, Y);
        TextEdit.setWidth(25 * scale_);
        TextEdit.show();
        textEditW_->setFocus(Qt::OtherFocusReason);
        return false;
    }

    const QString text = textEditW_->text();
    const QPoint at(kivo::roundInt(TextEdit.Left()), kivo::roundInt(TextEdit.Top()));
    if (!text.isEmpty()) {
        const QFontMetrics fm(drawFont_);
        // The text's top-left corner at the box's; glyphs may overhang their advance a little.
        const QRect cell(at, QSize(fm.horizontalAdvance(text), fm.height()));
        const QRect bounds = cell | fm.boundingRect(text).translated(at.x(), at.y() + fm.ascent());
        const QFont font = drawFont_;
        const QColor c = kivo::toQColor(colour);
        canvas_.draw(bounds.adjusted(-2, -2, 2, 2),
                     [font, c, at, text, ascent = fm.ascent()](QPainter& p) {
                         p.setFont(font);
                         p.setPen(c);
                         p.drawText(QPoint(at.x(), at.y() + ascent), text);
                     });
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
}
