#pragma once
#include "form/Basics.h"

#include <QWidget>

// One colour swatch: painted only by its back colour, with an optional single-line border
// (lines `line` pixels wide).
// It reports moves and releases with its index; the release of a press that began here
// comes here wherever the pointer is (Qt's implicit grab).
class ColourSwatch : public QWidget {
    Q_OBJECT
public:
    ColourSwatch(QWidget* parent, int index, kivo::Colour back, int line = 1);

    kivo::Colour BackColor() const { return back_; }
    void setBackColor(kivo::Colour c);
    // 0 none, 1 a single line.
    int BorderStyle() const { return border_; }
    void setBorderStyle(int style);

Q_SIGNALS:
    void mouseMove(int index);
    void mouseUp(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    // A press only marks where the release will be delivered; it must not reach the window.
    void mousePressEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    int index_;
    kivo::Colour back_;
    int border_ = 0;
    int line_;
};
