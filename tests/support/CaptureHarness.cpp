#include "CaptureHarness.h"

#include <QApplication>
#include <QWindow>

CaptureHarness::CaptureHarness(QSize screen, bool show, float scale) : fakes(screen) {
    fakes.screen.scale_ = scale;
    w = new frmCapture(fakes.platform());
    if (!w->Load())
        return;
    if (show) {
        w->showCapture();
        if (!QTest::qWaitForWindowExposed(w))
            qWarning("capture window not exposed");
    }
}

CaptureHarness::~CaptureHarness() {
    if (w)
        delete w.data();
    QApplication::processEvents();
}

QWindow* CaptureHarness::window() const {
    return w ? w->windowHandle() : nullptr;
}

// QTest keeps the state of the held buttons between calls, so moves after a press are
// drags and moves after the release are hovers.
void CaptureHarness::press(int x, int y, Qt::MouseButton b) {
    if (w)
        QTest::mousePress(window(), b, {}, QPoint(x, y));
}

void CaptureHarness::move(int x, int y) {
    if (w)
        QTest::mouseMove(window(), QPoint(x, y));
}

void CaptureHarness::release(int x, int y, Qt::MouseButton b) {
    if (w)
        QTest::mouseRelease(window(), b, {}, QPoint(x, y));
}

void CaptureHarness::doubleClick(int x, int y, Qt::MouseButton b) {
    if (w)
        QTest::mouseDClick(window(), b, {}, QPoint(x, y));
}

void CaptureHarness::drag(QPoint a, QPoint b, Qt::MouseButton button, int steps) {
    press(a.x(), a.y(), button);
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = a + (b - a) * i / steps;
        move(p.x(), p.y());
    }
    release(b.x(), b.y(), button);
}

QImage CaptureHarness::shown() const {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
