#pragma once
// The words, numbers and colours that several windows, the tests and the benchmarks share,
// each written once.
#include "form/Basics.h"

#include <QString>

namespace kivo {

// ---- Titles ----
inline const QString kAppTitle = QStringLiteral("Kivo独立截图截屏软件");
inline const QString kAlreadyRunning = QStringLiteral("程序已运行，请查看任务栏的托盘图标!!!");

// ---- Capture state words ----
// sState: no selection yet, or a selection that can be moved.
inline const QString kStateDraw = QStringLiteral("draw");
inline const QString kStateMove = QStringLiteral("move");
// sDrag: a handle drag under way, or none.
inline const QString kDragStart = QStringLiteral("Start");
inline const QString kDragStop = QStringLiteral("Stop");

// ---- Tools: sTool holds the armed tool's name, which is also its button's tip ----
inline const QString kToolRectangle = QStringLiteral("添加矩形");
inline const QString kToolEllipse = QStringLiteral("添加椎圆");
inline const QString kToolText = QStringLiteral("添加文字");
inline const QString kToolArrow = QStringLiteral("添加箭头");

// ---- Toolbar buttons, by index in the button array ----
enum ToolbarIndex : int {
    kButtonUndo = 0,
    kButtonCopy = 1,
    kButtonSave = 2,
    kButtonExit = 3,
    kButtonArrow = 4,
    kButtonText = 5,
    kButtonEllipse = 6,
    kButtonRectangle = 7,
    kButtonRedo = 8,
    kButtonCopyCorner = 9, // a second copy button on the window's corner, never shown
    kButtonCount = 10,
};

// ---- Design units: controls are laid out in twips, 15 to a pixel ----
constexpr float kTwipsPerPixel = 15.0f;
constexpr float twips(float t) {
    return t / kTwipsPerPixel;
}

// ---- Colours (0x00BBGGRR) ----
constexpr Colour kFrameColour = 0x00EC7A00; // the selection frame and its handles
constexpr Colour kPanelBack = 0x00FFEEDE;   // toolbar strip and style panel
constexpr Colour kPanelFrame = 0x00FF8080;  // their outline
constexpr Colour kStartColour = 0x000000FF; // the drawing colour of a new capture: red
constexpr float kDefaultTextSize = 11.0f;   // the text size of a new capture
constexpr float kArrowHeadSize = 10.0f;     // pixels

// ---- Saving ----
constexpr int32_t kJpegQuality = 80;
constexpr int32_t kTiffColourDepth = 24;
constexpr int32_t kTiffNoCompression = 6; // the TIFF compression code meaning "none"

} // namespace kivo
