#pragma once
#include "form/Control.h"

#include <QString>
#include <QWidget>
#include <array>

class ToolbarButton;

// The toolbar strip under a finished selection (265 x 26 pixels of light blue): nine
// buttons with separators and a frame, and a hover frame behind each button. The tenth
// button stands on the window itself, at its top-left corner, hidden. Everything is `scale`
// times as large as designed (form/ChromeScale.h).
class ToolbarStrip : public QWidget {
    Q_OBJECT
public:
    explicit ToolbarStrip(QWidget* window, float scale = 1);

    std::array<Control, 10> Image2; // the buttons (9 on the capture window)
    Control Shape2;                 // the frame over the whole strip
    std::array<Control, 9> Shape3;  // the hover frames, one per button
    Control Line1, Line2;           // the separators

    // The tool-tip text of button Index (its tool name for the four tools).
    static QString ToolTipText(int Index);
    ToolbarButton* button(int Index) const { return buttons_[size_t(Index)]; }

Q_SIGNALS:
    void buttonClicked(int Index);
    void buttonHovered(int Index);
    // The pointer moved over the strip's background.
    void backgroundHovered();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    // Presses on the background stay here: they must not reach the capture window.
    void mousePressEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}

private:
    void repaintControl(const QRect& before, const QRect& after);

    std::array<ToolbarButton*, 10> buttons_{};
    float scale_;
};
