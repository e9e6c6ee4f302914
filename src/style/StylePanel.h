#pragma once
#include <QWidget>

class frmCapture;

// The style panel under (or above) the toolbar strip: font size and colour.
class StylePanel : public QWidget {
    Q_OBJECT
  public:
    explicit StylePanel(frmCapture* owner);

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    frmCapture* owner_;
};
