#pragma once
#include <QPixmap>
#include <QWidget>

// One toolbar button: a 16 x 16 icon (drawn `scale` times as large) that reports pointer
// moves over it and a left-button click (press and release on it) with its index.
class ToolbarButton : public QWidget {
    Q_OBJECT
public:
    ToolbarButton(QWidget* parent, int index, float scale = 1);
    int index() const { return index_; }

Q_SIGNALS:
    void clicked(int index);
    void hovered(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    int index_;
    QPixmap icon_;
    bool pressed_ = false;
};
