#include "form/FramePacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <utility>

FramePacer::FramePacer(QWidget& window, std::function<void()> onFrame)
    : window_(window), onFrame_(std::move(onFrame)) {
    window_.installEventFilter(this);
}

FramePacer::~FramePacer() {
    window_.removeEventFilter(this);
}

// A screen that reports no rate, or a wild one, is taken as 60 Hz; a frame is never shorter
// than 4 ms, where the saving is no longer worth a timer.
int FramePacer::period() const {
    const QScreen* screen = window_.screen();
    qreal hz = screen ? screen->refreshRate() : 0;
    if (!(hz >= 24 && hz <= 1000))
        hz = 60;
    return std::max(4, int(std::floor(1000 / hz)));
}

bool FramePacer::frameDue() const {
    return !timer_.isActive() && (!sinceFrame_.isValid() || sinceFrame_.elapsed() >= period());
}

void FramePacer::requestFrame() {
    if (!timer_.isActive())
        startTimer();
}

void FramePacer::startTimer() {
    const qint64 since = sinceFrame_.isValid() ? sinceFrame_.elapsed() : period();
    timer_.start(int(std::max<qint64>(0, period() - since)), Qt::PreciseTimer, this);
}

// Qt asks a window to repaint with an UpdateRequest event and asks no more while one is
// outstanding; a held-back request is asked again when its frame comes, and the window then
// paints everything that changed in between.
bool FramePacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::UpdateRequest)
        return false;
    if (std::exchange(frameStarted_, false) || frameDue()) {
        sinceFrame_.start();
        return false;
    }
    requestFrame();
    return true;
}

// The request is posted behind what the frame's own changes posted (a widget shown asks for
// its repaint that way), as Qt itself would, so that the repaint has all of them.
void FramePacer::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    timer_.stop();
    sinceFrame_.start();
    if (onFrame_)
        onFrame_();
    frameStarted_ = true;
    QCoreApplication::postEvent(&window_, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
}
