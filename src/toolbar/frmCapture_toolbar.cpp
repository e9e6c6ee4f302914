// The toolbar's commands: choose a tool and place the style panel for it, undo and redo,
// save, exit, copy and exit; and the hover frames that follow the pointer over the strip.
#include "capture/frmCapture.h"
#include "platform/MousePointer.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarStrip.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace {
constexpr int kUndo = 0, kCopy = 1, kSave = 2, kExit = 3, kArrow = 4, kText = 5, kEllipse = 6,
              kRectangle = 7, kRedo = 8;
} // namespace

void frmCapture::pauseAndPump() {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QCoreApplication::processEvents();
}

// Put the selected area on the clipboard once the strip, the panel and the frame are
// repainted away.
void frmCapture::copySelectionWithoutPanels() {
    Picture1.hide();
    Picture2.hide();
    pauseAndPump();
    Shape1.hide();
    const kivo::RECT r = selectionRect();
    ScrnCap(r.Left, r.Top, r.Right, r.Bottom);
}

void frmCapture::Image2_Click(int Index) {
    StylePanel& panel = *stylePanel_;
    switch (Index) {
    case kArrow:
    case kText:
    case kEllipse:
    case kRectangle: {
        Picture2.setLeft(Picture1.Left());
        // Above the strip when the panel would pass the screen's last row.
        if (SH() < Picture1.Top() + Picture1.Height() + 3 + Picture2.Height())
            Picture2.setTop(Picture1.Top() - Picture2.Height() - 3);
        else
            Picture2.setTop(Picture1.Top() + Picture1.Height() + 3);
        if (Index == kText) {
            panel.PicFont.show();
            panel.PicColor.setLeft(78.667f);
            Picture2.setWidth(float(3620.0 / 15));
        } else {
            // The colours take the size picker's place and the panel narrows by its width.
            panel.PicFont.hide();
            panel.PicColor.setLeft(panel.PicFont.Left());
            Picture2.setWidth(float(3620.0 / 15 - double(panel.PicFont.Width()) - 2));
        }
        panel.Shape4.setWidth(Picture2.Width());
        if (!Picture2.Visible())
            Picture2.show();
        else if (lngLastTool == Index)
            Picture2.hide();
        bTool = true;
        sTool = ToolbarStrip::ToolTipText(Index);
        break;
    }
    case kCopy:
        copySelectionWithoutPanels();
        Unload();
        break;
    case kSave: {
        const bool panelShown = Picture2.Visible();
        copySelectionWithoutPanels();
        Picture1.show();
        if (panelShown)
            Picture2.show();
        Shape1.show();
        CutdSave();
        // Confirmed or cancelled, the capture ends; after a cancel the area stays copied.
        Unload();
        break;
    }
    case kExit:
        Unload();
        break;
    case kUndo:
        Undo();
        break;
    case kRedo:
        Redo();
        break;
    default:
        break;
    }
    lngLastTool = Index;
}

void frmCapture::Image2_MouseMove(int Index) {
    for (Control& frame : toolbar_->Shape3)
        frame.hide();
    if (Index >= 0 && Index < int(toolbar_->Shape3.size()))
        toolbar_->Shape3[size_t(Index)].show();
}

void frmCapture::Picture1_MouseMove() {
    platform_.pointer->set(PointerShape::Arrow);
    for (Control& frame : toolbar_->Shape3)
        frame.hide();
}

void frmCapture::Picture2_MouseMove() {
    platform_.pointer->set(PointerShape::Arrow);
}
