#pragma once
#include "form/Basics.h"
#include "form/Canvas.h"
#include "form/Control.h"
#include "form/FramePacer.h"
#include "output/ExcelPropertyBag.h"
#include "platform/Platform.h"
#include "style/Arrow.h"
#include "toolbar/HistoryStore.h"

#include <QElapsedTimer>
#include <QFont>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class HandleWidget;
class ToolbarStrip;
class StylePanel;

// One capture: a borderless window over one monitor (the primary one unless another was
// chosen) showing a frozen picture of it, on which the user selects, annotates and finally
// copies or saves an area. Every position it works with is a window position.
//
// The class is split by concern, every file in this folder:
//   frmCapture_startup.cpp    controls, start-up that freezes the screen, painting, event routing
//   frmCapture_selection.cpp  dragging out, moving and dropping the selection; colour read-out
//   frmCapture_handles.cpp    resizing with the eight handles
//   frmCapture_placement.cpp  handles, read-outs and toolbar kept attached to the selection
//   frmCapture_drawing.cpp    annotation strokes with a tool armed
//   frmCapture_shapes.cpp     the line, box and ellipse primitives
//   frmCapture_text.cpp       the text tool's box
//   frmCapture_style.cpp      what drawing reads from the style panel; the size list
//   frmCapture_toolbar.cpp    the toolbar's commands and hover frames
//   frmCapture_history.cpp    undo and redo
//   frmCapture_grab.cpp       the area grab, copy and double-click
//   frmCapture_save.cpp       the save command
// The arithmetic that needs no window is in SelectionGeometry.
class frmCapture : public QWidget {
    Q_OBJECT
public:
    explicit frmCapture(const Platform& platform, QWidget* parent = nullptr);
    ~frmCapture() override;

    // Start-up: freeze the screen, start the history. False when the window must not be
    // shown: the program was ended because another instance runs, or the desktop gave no
    // picture of the screen (the user was told why).
    bool Load();
    // Show the window over the whole monitor.
    void showCapture();
    // End the capture: the window closes and is destroyed later.
    void Unload();
    bool isUnloaded() const { return unloaded_; }

    // ---- Form-level state (one set per window) ----
    QString sState; // kStateDraw (no selection) or kStateMove (a selection exists)
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
    // Screen width and height in pixels, as 32-bit floats.
    float SW() const { return sw_; }
    float SH() const { return sh_; }
    // How much larger than designed the controls around the picture are (form/ChromeScale.h).
    float chromeScale() const { return scale_; }
    // A move or a repaint waits for the screen's next frame (form/FramePacer.h).
    bool repaintPending() const { return pacer_.pending(); }

    // ---- Placement ----
    void ImageMove();
    void LabelMove();
    void ToolbarMove();
    // LblPos and lblInfo at the selection's top-left corner (LabelMove without the caption).
    void placeReadouts();

    // ---- Drawing ----
    // Draw an arrow on target (anything with Line(x1, y1, x2, y2, colour)).
    template <class Target>
    static void Arrow(Target& target, float X1, float Y1, float X2, float Y2, float HeadSize,
                      kivo::Colour Colour) {
        drawArrow(target, X1, Y1, X2, Y2, HeadSize, Colour);
    }
    // A one-pixel line on the window's picture, both end points included.
    void Line(float x1, float y1, float x2, float y2, kivo::Colour colour);
    // The current colour (the background of the large swatch) and text size.
    kivo::Colour currentColour() const;
    float chosenTextSize() const;
    // Open the size list when it is closed, close it when it is open.
    void OpenCombo();

    // ---- History ----
    void HistoryStart();
    void HistoryPush();
    void HistoryTruncate();
    void Undo();
    void Redo();

    // ---- Output ----
    // Put the rectangle of the picture as the window shows it (annotations and open text,
    // none of the window's own controls) on the clipboard, and keep it for a save.
    void ScrnCap(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
    // Ask for a file name and save the area the last ScrnCap grabbed there.
    void CutdSave();
    // Trivial public operation kept for callers that expect it.
    void MDown() {}

Q_SIGNALS:
    // The capture ended (copied, saved or abandoned).
    void unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // ---- Mouse handlers of the window (Button, Shift, X, Y as the window sees them) ----
    // A pointer position held inside the window (heldInside in SelectionGeometry).
    QPointF heldInside(QPointF at) const;
    // ptNow from a handle's report of the pointer, held inside the window.
    void setPointerNow(QPoint at);
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void Form_MouseUp(int Button, int Shift, float X, float Y);
    void Form_DblClick();
    void ResetSelection(float X, float Y);
    kivo::RECT selectionRect() const;
    void setReadoutCaption(const QString& text);

    // ---- Handles; ptNow is the pointer's window position ----
    void Image1_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Index, int Button, int Shift, float X, float Y);
    void Image1_MouseUp(int Index, int Button, int Shift, float X, float Y);

    // ---- Annotation strokes (a tool armed) ----
    void Draw_MouseDown(int Button, float X, float Y);
    void Draw_MouseMove(float X, float Y);
    void Draw_MouseUp(int Button, float X, float Y);
    void drawShape(float x2, float y2);
    void LineBox(float x1, float y1, float x2, float y2, kivo::Colour colour);
    void EllipseBox(float x1, float y1, float x2, float y2, kivo::Colour colour);
    // The text tool's place-or-commit step at the release point. True when it committed the
    // open box (drew its text).
    bool TextStep(float X, float Y);
    void TextEdit_Change();

    // ---- Toolbar and style panel ----
    void Image2_Click(int Index);
    void Image2_MouseMove(int Index);
    void Picture1_MouseMove();
    void Picture2_MouseMove();
    void copySelectionWithoutPanels();
    // Copy the selected area and end the capture.
    void copySelectionAndUnload();
    // The two halves of ScrnCap: keep the area as grabbed_, then put grabbed_ on the clipboard.
    void grabArea(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
    void copyGrabbed();
    // grabArea over the selection, with the strip, the panel and the frame hidden.
    void grabSelectionWithoutPanels();
    // The picture over rect: the drawing layers, and the open text box's text as its commit
    // would draw it; never a control of the window.
    QImage renderArea(const QRect& rect);
    // How the open text box's text is drawn when committed (at the chosen size and colour).
    struct TextPaint {
        QFont font;
        QColor colour;
        QPoint at; // the text's top-left corner
        QString text;
        QRect bounds; // every pixel it may touch
    };
    TextPaint openText();
    // The text's point size: the chosen size, as large as the chrome around it.
    double textPoints() const;
    static void paintText(QPainter& p, const TextPaint& t);
    void placeTextBox();

    // A dialog or message box runs its own event loop inside a handler of this window; a
    // request to end the capture meanwhile waits until the handler is done with the window.
    class ModalScope {
    public:
        explicit ModalScope(frmCapture& w) : w_(w) { ++w_.modalDepth_; }
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        frmCapture& w_;
    };

    void reportHistoryFailure(const Failure& failure);
    void createControls();
    void repaintFrame(const QRect& before, const QRect& after);
    // Take in the move that waits for its frame, if any.
    void takePendingMove();

    Platform platform_;
    Canvas canvas_;
    float sw_ = 0, sh_ = 0;
    float scale_ = 1;
    bool unloaded_ = false;
    int modalDepth_ = 0;
    bool unloadPending_ = false;
    // Whether the last press of the window could begin a copying double-click, and when it
    // came (a double-click whose first press this window did not see is a press).
    bool pressCanCopy_ = false;
    quint64 lastPressTime_ = 0;
    bool sawPress_ = false;
    // The area the last ScrnCap grabbed.
    QImage grabbed_;

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
    // A drag's move that waits for the next frame (form/FramePacer.h): during a drag the
    // window shows a function of the pointer's last position only, so a move that a later
    // one replaces before its frame need not be taken in at all.
    struct Move {
        int button, shift;
        float x, y;
    };
    std::optional<Move> pendingMove_;
    FramePacer pacer_{*this, [this] { takePendingMove(); }};
};
