#pragma once
#include <QWidget>

class frmCapture;

// The toolbar strip under a finished selection: 265 x 26 pixels of light blue.
class ToolbarStrip : public QWidget {
    Q_OBJECT
  public:
    explicit ToolbarStrip(frmCapture* owner);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    frmCapture* owner_;
};
