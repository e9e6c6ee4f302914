#pragma once
// A capture window on fakes; mouse input goes through the top-level window (Qt's routing).
#include "Fakes.h"
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWindow>

struct CaptureHarness {
    FakePlatform fakes;
    QPointer<frmCapture> w;

    explicit CaptureHarness(QSize screen = QSize(1920, 1080), bool show = true, float scale = 1)
        : fakes(screen) {
        fakes.screen.scale_ = scale;
        w = new frmCapture(fakes.platform());
        if (w->Load() && show) {
            w->showCapture();
            if (!QTest::qWaitForWindowExposed(w))
                qWarning("capture window not exposed");
        }
    }
    ~CaptureHarness() {
        delete w.data();
        QApplication::processEvents();
    }
    QWindow* window() const { return w->windowHandle(); }
    void press(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(window(), b, {}, QPoint(x, y));
    }
    // A move during a drag may wait for the window's next frame; this returns once it is in.
    void move(int x, int y) {
        QTest::mouseMove(window(), QPoint(x, y));
        if (!repainted())
            qWarning("a move is still waiting for its frame");
    }
    void release(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseRelease(window(), b, {}, QPoint(x, y));
    }
    void doubleClick(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseDClick(window(), b, {}, QPoint(x, y));
    }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) {
        press(p.x(), p.y(), b);
        release(p.x(), p.y(), b);
    }
    void drag(QPoint a, QPoint b, Qt::MouseButton button = Qt::LeftButton, int steps = 4) {
        press(a.x(), a.y(), button);
        for (int i = 1; i <= steps; ++i)
            move((a + (b - a) * i / steps).x(), (a + (b - a) * i / steps).y());
        release(b.x(), b.y(), button);
    }
    void select(QPoint a, QPoint b) { drag(a, b); }
    QImage shown() const { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Let the window paint what changed, once its frame has come.
    bool repainted() const {
        QApplication::processEvents();
        return QTest::qWaitFor([this] { return !w->repaintPending(); });
    }
};

// The bounding box of the pixels of img that are exactly colour.
inline QRect inkBounds(const QImage& img, QRgb colour) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}
