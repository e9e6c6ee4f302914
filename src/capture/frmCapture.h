#pragma once
#include "capture/Basics.h"
#include "capture/Canvas.h"
#include "capture/Control.h"
#include "output/ExcelPropertyBag.h"
#include "platform/Platform.h"
#include "toolbar/HistoryStore.h"

#include <QElapsedTimer>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class HandleWidget;
class ToolbarStrip;
class StylePanel;

// One capture: a borderless window over the primary screen showing a frozen picture of
// it, on which the user selects, annotates and finally copies or saves an area.
//
// The class is split by concern: start-up, painting and input routing in
// frmCapture_startup.cpp; the selection in frmCapture_selection.cpp; the handles in
// frmCapture_handles.cpp; placement in frmCapture_placement.cpp; drawing in
// frmCapture_drawing.cpp; the area grab in frmCapture_grab.cpp; the toolbar commands and
// history in ../toolbar; the style panel in ../style; the save command in ../output.
class frmCapture : public QWidget {
    Q_OBJECT
public:
    explicit frmCapture(const Platform& platform, QWidget* parent = nullptr);
    ~frmCapture() override;

    // Start-up: freeze the screen, start the history. False when the window must not be
    // shown: the program was ended because another instance runs, or the desktop gave no
    // picture of the screen (the user was told why).
    bool Load();
    // Show the window over the whole primary screen.
    void showCapture();
    // End the capture: the window closes and is destroyed later.
    void Unload();
    bool isUnloaded() const { return unloaded_; }

    // ---- Form-level state (one set per window) ----
    QString sState; // "draw" (no selection) or "move" (a selection exists)
    float sngStartX = 0, sngStartY = 0;
    float sngDownX = 0, sngDownY = 0;
    kivo::RECT rcSel;
    int32_t lngKeepOpen = 0;
    bool bTool = false;
    QString sTool;
    bool bDrawing = false;
    float sngDrawX = 0, sngDrawY = 0;
    float sngX1 = 0, sngY1 = 0, sngX2 = 0, sngY2 = 0;
    QString sDrag;
    kivo::POINT ptNow;
    int32_t lngLastTool = 0;
    std::unique_ptr<ExcelPropertyBag> objBag;
    HistoryStore arrHistory;
    int32_t lngCount = 0, lngMax = 0;

    // ---- Controls ----
    Control Shape1;                // the selection rectangle, painted by the window
    Control LblPos, lblInfo;       // size and colour read-outs
    std::array<Control, 8> Image1; // the eight selection handles
    Control Picture1;              // the toolbar strip
    Control Picture2;              // the style panel
    Control TextEdit;              // the text tool's in-place editor
    ToolbarStrip* toolbar() const { return toolbar_; }
    StylePanel* stylePanel() const { return stylePanel_; }
    QLabel* lblPosWidget() const { return lblPosW_; }
    QLabel* lblInfoWidget() const { return lblInfoW_; }
    QLineEdit* textEditWidget() const { return textEditW_; }

    // The two drawing layers (Image, Picture, Cls, persistent drawing on or off).
    Canvas& canvas() { return canvas_; }
    const Canvas& canvas() const { return canvas_; }
    const Platform& platform() const { return platform_; }
    // Screen width and height in pixels, as 32-bit floats.
    float SW() const { return sw_; }
    float SH() const { return sh_; }

    // ---- Mouse handlers of the window (Button, Shift, X, Y as the window sees them) ----
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void Form_MouseUp(int Button, int Shift, float X, float Y);
    void Form_DblClick();

    // ---- Handles ----
    void Image1_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void Image1_MouseUp(int Index, int Button, int Shift, float X, float Y);
    // Where the pointer is during a handle drag, in the window's pixels.
    void setCursorPosForHandles(const QPoint& pos) { cursorPos_ = pos; }

    // ---- Placement ----
    void ImageMove();
    void LabelMove();
    void ToolbarMove();
    // Write the colour read-out (it sizes itself to its text).
    void setReadoutCaption(const QString& text);

    // ---- Annotation drawing (a tool armed) ----
    void Draw_MouseDown(int Button, float X, float Y);
    void Draw_MouseMove(float X, float Y);
    void Draw_MouseUp(int Button, float X, float Y);
    // The text tool's place-or-commit step at the release point.
    // Returns true when it committed the open box (drew its text).
    bool TextStep(float X, float Y);
    void TextEdit_Change();
    // Draw an arrow on target (anything with Line(x1, y1, x2, y2, colour)).
    template <class Target>
    static void Arrow(Target& target, float X1, float Y1, float X2, float Y2, float HeadSize,
                      kivo::Colour Colour);
    // Line operation of the window: a one-pixel line, both end points included.
    void Line(float x1, float y1, float x2, float y2, kivo::Colour colour);
    // Line operation in box mode: the outline with corners (x1, y1) and (x2, y2), included.
    void LineBox(float x1, float y1, float x2, float y2, kivo::Colour colour);
    void EllipseBox(float x1, float y1, float x2, float y2, kivo::Colour colour);
    // The current colour (the background of the large swatch) and text size.
    kivo::Colour currentColour() const;
    float chosenTextSize() const;

    // ---- Area grab and copy ----
    void ScrnCap(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
    // The selection rectangle of Shape1, each edge rounded.
    kivo::RECT selectionRect() const;
    // What the window shows over rect without its frame, read-outs, handles and hidden
    // panels: the picture, transient drawing, and still-visible editors and panels.
    QImage renderArea(const QRect& rect);

    // ---- Toolbar and history ----
    void Image2_Click(int Index);
    void Image2_MouseMove(int Index);
    void Picture1_MouseMove();
    void Picture2_MouseMove();
    void HistoryStart();
    void HistoryPush();
    void HistoryTruncate();
    void Undo();
    void Redo();
    // Sleep 10 ms and let pending window messages run once (before reading the screen).
    void pauseAndPump();
    void copySelectionWithoutPanels();

    // ---- Style panel ----
    void OpenCombo();

    // ---- Save ----
    void CutdSave();

    // Trivial public operation kept for callers that expect it.
    void MDown() {}

Q_SIGNALS:
    // The capture ended (copied, saved or abandoned).
    void unloaded();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void createControls();
    void repaintFrame(const QRect& before, const QRect& after);
    void SplitRgb(int32_t Colour, int32_t& R, int32_t& G, int32_t& B) const;
    void ResetSelection(float X, float Y);

    Platform platform_;
    Canvas canvas_;
    float sw_ = 0, sh_ = 0;
    bool unloaded_ = false;
    QPoint cursorPos_;
    // Whether the last press of the window could begin a copying double-click.
    bool pressCanCopy_ = false;

    QLabel* lblPosW_ = nullptr;
    QLabel* lblInfoW_ = nullptr;
    std::array<HandleWidget*, 8> handles_{};
    ToolbarStrip* toolbar_ = nullptr;
    StylePanel* stylePanel_ = nullptr;
    QLineEdit* textEditW_ = nullptr;
    QFont drawFont_;
    QElapsedTimer loadClock_;
    double grabMs_ = 0;
    bool firstPaintReported_ = false;

    friend class FrmCaptureTestAccess;
};

#include "style/Arrow.h"
