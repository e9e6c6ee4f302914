// The toolbar's commands: choose a tool and place the style panel for it, undo and redo,
// save, exit, copy and exit; and the hover frames that follow the pointer over the strip.
#include "capture/SelectionGeometry.h"
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"
#include "platform/MousePointer.h"
#include "style/StylePanel.h"
#include "toolbar/ToolbarStrip.h"

using namespace kivo;

// Put the selected area on the clipboard with the strip, the panel and the frame hidden.
void frmCapture::copySelectionWithoutPanels() {
    grabSelectionWithoutPanels();
    copyGrabbed();
}

void frmCapture::Image2_Click(int Index) {
    StylePanel& panel = *stylePanel_;
    switch (Index) {
    case kButtonArrow:
    case kButtonText:
    case kButtonEllipse:
    case kButtonRectangle: {
        Picture2.setLeft(Picture1.Left());
        Picture2.setTop(geometry::stylePanelTop(Picture1.Top(), Picture1.Height(),
                                                Picture2.Height(), SH(), scale_));
        const double s = scale_;
        if (Index == kButtonText) {
            panel.PicFont.show();
            panel.PicColor.setLeft(78.667f * scale_);
            Picture2.setWidth(float(3620.0 / kTwipsPerPixel * s));
        } else {
            // The colours take the size picker's place and the panel narrows by its width.
            panel.PicFont.hide();
            panel.PicColor.setLeft(panel.PicFont.Left());
            Picture2.setWidth(
                float(3620.0 / kTwipsPerPixel * s - double(panel.PicFont.Width()) - 2 * s));
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
    case kButtonCopy:
        copySelectionAndUnload();
        break;
    case kButtonSave: {
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
    case kButtonExit:
        Unload();
        break;
    case kButtonUndo:
        Undo();
        break;
    case kButtonRedo:
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
