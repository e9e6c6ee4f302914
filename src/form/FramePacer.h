#pragma once
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>
#include <functional>

class QWidget;

// Paints a window, and lets it take in pointer moves, at most once per frame of its
// screen.
//
// A pointer reports moves faster than a screen refreshes (125 to 1000 times a second
// against 60), and every move of a drag over a full-screen window costs this program and
// the display server far more in widgets moved and pixels repainted than the move itself.
// Qt handles each move and repaints once per event-loop pass, so without this most of
// that work is for pictures no screen ever shows. The pacer holds a repaint back until a
// frame has passed since the last one, and the window may hold back a move the same way
// (only the last one of a frame counts); both are done together when the frame comes.
// Anything asked for after a quiet frame happens at once, so a single move or click is
// never delayed.
class FramePacer : public QObject {
public:
    // onFrame runs when a frame comes that was asked for with requestFrame (or that a held
    // repaint waits for), before the repaint. A frame lasts as long as the window's screen
    // shows one picture.
    explicit FramePacer(QWidget& window, std::function<void()> onFrame = {});
    ~FramePacer() override;

    // A frame may start now: the last one was at least a period ago.
    bool frameDue() const;
    // Run onFrame and repaint when the next frame comes.
    void requestFrame();
    // Something waits for the next frame, or the frame's repaint is yet to come.
    bool pending() const { return timer_.isActive() || frameStarted_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    int period() const;
    void startTimer();

    QWidget& window_;
    std::function<void()> onFrame_;
    QElapsedTimer sinceFrame_;
    QBasicTimer timer_;
    bool frameStarted_ = false;
};
