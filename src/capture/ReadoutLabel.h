#pragma once
#include <QLabel>

// A read-out on the selection frame: white text on black, transparent to the mouse, so
// that presses on it reach the window as presses on the frozen picture.
//
// It paints its own background instead of asking Qt to fill it: Qt treats an auto-filled
// widget as opaque and then moves it by copying its pixels in the window's backing store,
// which costs more than repainting the few pixels it covers. The label moves on every
// mouse move of a drag.
class ReadoutLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ReadoutLabel(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* e) override;
};
