#pragma once
#include <QLineEdit>

// The text tool's box: a one-line editor without Qt's frame, so that its text can stand
// exactly where the commit will draw it, outlined by a thin line of its own. It is sized
// to show its whole text at any font size.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent);
    // The smallest size that shows text of this width whole, cursor included.
    QSize sizeFor(int textWidth) const;
    // Where the text's top-left corner lies in a box of this size.
    QPoint textOrigin(const QSize& size) const;

protected:
    void paintEvent(QPaintEvent* e) override;
};
