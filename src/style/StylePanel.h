#pragma once
#include "form/Basics.h"
#include "form/Control.h"
#include "form/Vocabulary.h"

#include <QPixmap>
#include <QWidget>
#include <array>

class ColourSwatch;
class StyleBox;
class QComboBox;
class QLineEdit;

// The style panel under (or above) the toolbar strip: the font-size picker at the left
// (text tool only), the colour palette, and a frame. The current colour is the back colour
// of the large swatch 16; the chosen size is the text of Text1. Everything is `scale` times
// as large as designed (form/ChromeScale.h).
class StylePanel : public QWidget {
    Q_OBJECT
public:
    explicit StylePanel(QWidget* window, float scale = 1);

    // Colour palette.
    Control PicColor;
    std::array<Control, 17> Pcolor;
    Control Shape4;
    // Font-size picker.
    Control PicFont, Image3, PicCombox, Text1, Combo1;
    std::array<QPixmap, 3> Image4; // the face pictures: normal, hover, pressed

    ColourSwatch* swatch(int Index) const { return swatches_[size_t(Index)]; }
    QComboBox* combo() const { return combo_; }
    QLineEdit* text1() const { return text1_; }
    StyleBox* face() const { return face_; }
    // Which of the three face pictures the size box shows.
    int faceShown() const { return faceShown_; }

    void Pcolor_MouseUp(int Index);
    void Pcolor_MouseMove(int Index);
    void PicColor_MouseMove();
    void PicFont_MouseMove();
    void PicCombox_MouseMove();
    void PicCombox_MouseDown();
    void Combo1_Click();

Q_SIGNALS:
    // The size box was pressed: its list should open, or close when open.
    void sizeListToggled();
    // The pointer moved over the panel's background.
    void backgroundHovered();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    // Presses on the background stay here: they must not reach the capture window.
    void mousePressEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    void createPalette();
    void createFontPicker();
    void showFace(int index);
    // A designed length in twips, in pixels at the scale.
    float at(float twips) const { return kivo::twips(twips) * scale_; }

    float scale_;
    std::array<ColourSwatch*, 17> swatches_{};
    QComboBox* combo_ = nullptr;
    QLineEdit* text1_ = nullptr;
    StyleBox* face_ = nullptr;
    int faceShown_ = 0;
};
