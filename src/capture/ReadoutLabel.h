#pragma once
#include <QLabel>
#include <QStaticText>

// A read-out on the selection frame: white text on black, transparent to the mouse, so
// that presses on it reach the window as presses on the frozen picture.
//
// Its text changes on almost every mouse move of a drag, so it lays the text out once per
// new text (for its size and its painting) instead of on every size query and repaint.
// It paints its own background instead of asking Qt to fill it: Qt treats an auto-filled
// widget as opaque and then moves it by copying its pixels in the window's backing store,
// which costs more than repainting the few pixels it covers.
class ReadoutLabel : public QLabel {
    Q_OBJECT
public:
    // scale: the chrome's (form/ChromeScale.h), for the font and the margins.
    explicit ReadoutLabel(QWidget* parent, float scale = 1);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const QStaticText& laidOut() const;

    mutable QStaticText layout_;
    mutable QSize size_;
    mutable bool sized_ = false;
};
