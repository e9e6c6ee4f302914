#pragma once
// A loaded, shown capture window on fake platform services, and mouse input sent through
// the top-level window so that Qt's real routing (hit test, implicit grab) applies.
#include "Fakes.h"
#include "capture/frmCapture.h"
#include "form/Vocabulary.h"

#include <QPointer>
#include <QTest>
#include <memory>

struct CaptureHarness {
    FakePlatform fakes;
    QPointer<frmCapture> w;

    // scale: the chrome's, as the screen reports it.
    explicit CaptureHarness(QSize screen = QSize(1920, 1080), bool show = true, float scale = 1);
    ~CaptureHarness();

    QWindow* window() const;
    // Mouse input at window pixel (x, y) through the window's real event routing.
    void press(int x, int y, Qt::MouseButton b = Qt::LeftButton);
    // A move: a drag while a button is held since a press, a hover otherwise.
    void move(int x, int y);
    void release(int x, int y, Qt::MouseButton b = Qt::LeftButton);
    void doubleClick(int x, int y, Qt::MouseButton b = Qt::LeftButton);
    // Press at a, move in steps to b, release at b.
    void drag(QPoint a, QPoint b, Qt::MouseButton button = Qt::LeftButton, int steps = 4);
    // Drag out a selection from a to b with the left button.
    void select(QPoint a, QPoint b) { drag(a, b); }
    // What the window shows now, children included.
    QImage shown() const;
};
