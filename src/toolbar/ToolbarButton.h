#pragma once
#include <QPixmap>
#include <QWidget>

class frmCapture;

// One toolbar button: a 16 x 16 icon that reports pointer moves over it and a left-button
// click (press and release on it) to the capture window with its index.
class ToolbarButton : public QWidget {
    Q_OBJECT
public:
    ToolbarButton(QWidget* parent, frmCapture* owner, int index);
    int index() const { return index_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    frmCapture* owner_;
    int index_;
    QPixmap icon_;
    bool pressed_ = false;
};
