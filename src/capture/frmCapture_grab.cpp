// The area grab: the selected part of what the window shows goes on the clipboard, and the
// double-click inside the selection that copies it and ends the capture.
#include "capture/frmCapture.h"
#include "output/PngWriter.h"
#include "platform/Clipboard.h"

#include <QCoreApplication>
#include <QPainter>

void frmCapture::Form_DblClick() {
    // Only when the press that began the double-click fell inside a selection it kept.
    if (!pressCanCopy_)
        return;
    pressCanCopy_ = false;
    Picture1.hide();
    pauseAndPump();
    Shape1.hide();
    const kivo::RECT r = selectionRect();
    ScrnCap(r.Left, r.Top, r.Right, r.Bottom);
    Unload();
}

void frmCapture::ScrnCap(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    Shape1.hide();
    LblPos.hide();
    lblInfo.hide();
    for (Control& handle : Image1)
        handle.hide();
    QCoreApplication::processEvents();

    // Wide arithmetic: any four integers give a size, never an overflow.
    const int64_t width = int64_t(Right) - Left;
    const int64_t height = int64_t(Bottom) - Top;
    QImage area;
    if (width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX)
        area = renderArea(QRect(Left, Top, int(width), int(height)));
    // An empty, inverted or impossible rectangle leaves an empty clipboard. The clipboard
    // keeps the picture as PNG alone: the smallest form every program can paste.
    const QByteArray png = area.isNull() ? QByteArray() : PngWriter::encode(area);
    if (png.isEmpty())
        platform_.clipboard->clear();
    else
        platform_.clipboard->setPng(png);
}

QImage frmCapture::renderArea(const QRect& rect) {
    if (rect.isEmpty())
        return {};
    QImage out(rect.size(), QImage::Format_RGB32);
    if (out.isNull())
        return {};
    out.fill(Qt::black); // beyond the screen
    QPainter p(&out);
    p.translate(-rect.topLeft());
    canvas_.paint(p, rect & QRect(0, 0, kivo::roundInt(sw_), kivo::roundInt(sh_)));
    p.resetTransform();
    // The window paints its frame itself; of its children only the still-visible ones
    // (an open text box, the style panel) are part of what the user sees. The toolbar never
    // is: a release handled while the grab lets events run may have shown it again.
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow() || !widget->isVisibleTo(this) ||
            widget == Picture1.widget())
            continue;
        if (!widget->geometry().intersects(rect))
            continue;
        widget->render(&p, widget->pos() - rect.topLeft(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    p.end();
    return out;
}
