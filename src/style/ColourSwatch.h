#pragma once
#include "capture/Basics.h"

#include <QWidget>

class StylePanel;

// One colour swatch: painted only by its back colour, with an optional single-line border.
// Its moves and releases go to the style panel with its index; the release of a press
// that began here comes here wherever the pointer is (Qt's implicit grab).
class ColourSwatch : public QWidget {
    Q_OBJECT
public:
    ColourSwatch(QWidget* parent, StylePanel* panel, int index, kivo::Colour back);

    kivo::Colour BackColor() const { return back_; }
    void setBackColor(kivo::Colour c);
    // 0 none, 1 a single line.
    int BorderStyle() const { return border_; }
    void setBorderStyle(int style);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    // A press only marks where the release will be delivered; it must not reach the window.
    void mousePressEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    StylePanel* panel_;
    int index_;
    kivo::Colour back_;
    int border_ = 0;
};
