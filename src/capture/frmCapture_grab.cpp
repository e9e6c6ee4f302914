// The area grab: the selected part of the picture goes on the clipboard, and the
// double-click inside the selection that copies it and ends the capture.
#include "capture/frmCapture.h"
#include "output/PngWriter.h"
#include "platform/Clipboard.h"

#include <QLineEdit>
#include <QPainter>

void frmCapture::Form_DblClick() {
    // Only when the press that began the double-click fell inside a selection it kept.
    if (!pressCanCopy_)
        return;
    pressCanCopy_ = false;
    copySelectionAndUnload();
}

void frmCapture::grabSelectionWithoutPanels() {
    Picture1.hide();
    Picture2.hide();
    Shape1.hide();
    const kivo::RECT r = selectionRect();
    grabArea(r.Left, r.Top, r.Right, r.Bottom);
}

void frmCapture::copySelectionAndUnload() {
    grabSelectionWithoutPanels();
    // Where the clipboard needs no window, the window and its full-screen surface go before
    // the picture is encoded: the frozen screen, the window's surface and the encoder's
    // buffers are never all held at once (at 4K each picture is over 30 MB). Not under a
    // dialog, which is a child of this window.
    if (modalDepth_ == 0 && platform_.clipboard->setsWithoutWindow()) {
        hide();
        destroy();
    }
    copyGrabbed();
    Unload();
}

void frmCapture::ScrnCap(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    grabArea(Left, Top, Right, Bottom);
    copyGrabbed();
}

void frmCapture::grabArea(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    Shape1.hide();
    LblPos.hide();
    lblInfo.hide();
    for (Control& handle : Image1)
        handle.hide();
    // The picture comes from the drawing layers, not from the screen, so no pending window
    // events need to run first for the hidden controls to be gone from it (and none may:
    // one of them could end this very window).

    // Wide arithmetic: any four integers give a size, never an overflow.
    const int64_t width = int64_t(Right) - Left;
    const int64_t height = int64_t(Bottom) - Top;
    grabbed_ = QImage();
    if (width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX)
        grabbed_ = renderArea(QRect(Left, Top, int(width), int(height)));
}

void frmCapture::copyGrabbed() {
    // An empty, inverted or impossible rectangle leaves an empty clipboard. The clipboard
    // keeps the picture as PNG alone: the smallest form every program can paste.
    const QByteArray png = grabbed_.isNull() ? QByteArray() : PngWriter::encode(grabbed_);
    if (png.isEmpty())
        platform_.clipboard->clear();
    else
        platform_.clipboard->setPng(png);
}

QImage frmCapture::renderArea(const QRect& rect) {
    if (rect.isEmpty())
        return {};
    const bool typing = TextEdit.Visible() && !textEditW_->text().isEmpty();
    const TextPaint text = typing ? openText() : TextPaint{};
    const bool textShown = typing && text.bounds.intersects(rect);
    const QRect screen(0, 0, kivo::roundInt(sw_), kivo::roundInt(sh_));
    // Inside the screen with nothing but the drawing layers to show: their pixels as they
    // are, without a copy (a large area at 4K is tens of megabytes).
    if (!textShown && screen.contains(rect)) {
        if (QImage view = canvas_.shared(rect); !view.isNull())
            return view;
    }
    QImage out(rect.size(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::black); // beyond the screen
    QPainter p(&out);
    p.translate(-rect.topLeft());
    canvas_.paint(p, rect & screen);
    // Text still being typed is part of the picture the user made, in the place, size and
    // colour its commit would give it; the box around it is not.
    if (textShown)
        paintText(p, text);
    p.end();
    return out;
}
