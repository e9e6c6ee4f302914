#pragma once
#include <QPixmap>
#include <QWidget>

// A plain box of the style panel: filled with its back colour, optionally showing a
// picture at its top-left corner, and reporting pointer moves and presses.
class StyleBox : public QWidget {
    Q_OBJECT
public:
    StyleBox(QWidget* parent, const QColor& back);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

Q_SIGNALS:
    void mouseMove();
    void mouseDown();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    QColor back_;
    QPixmap picture_;
};
