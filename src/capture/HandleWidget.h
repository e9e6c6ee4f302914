#pragma once
#include <QWidget>

class frmCapture;

// One of the eight selection handles: a 4 x 4 square in the frame colour. Its mouse events
// go to the capture window's handle handlers with its index; from a press until the
// release every move comes here, wherever the pointer goes (Qt's implicit grab).
class HandleWidget : public QWidget {
    Q_OBJECT
public:
    HandleWidget(frmCapture* owner, int index);
    int index() const { return index_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    frmCapture* owner_;
    int index_;
};
