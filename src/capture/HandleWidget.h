#pragma once
#include <QPoint>
#include <QWidget>

// One of the eight selection handles: a square in the frame colour (4 x 4 at the chrome's
// scale 1). From a press until the release every move comes here, wherever the pointer goes
// (Qt's implicit grab), and is passed on with the handle's index and where the pointer is on
// the parent window.
class HandleWidget : public QWidget {
    Q_OBJECT
public:
    HandleWidget(QWidget* window, int index);
    int index() const { return index_; }

Q_SIGNALS:
    void mouseDown(int index, int button, int shift, float x, float y, QPoint atWindow);
    void mouseMove(int index, int button, int shift, float x, float y, QPoint atWindow);
    void mouseUp(int index, int button, int shift, float x, float y, QPoint atWindow);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    int index_;
};
