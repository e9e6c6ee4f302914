#pragma once
#include <QSize>
#include <thread>

class QBackingStore;
class QWidget;

// The first paint of a full-screen window writes every page of its freshly allocated
// backing store; at 3840x2160 those page faults cost more than the copy itself. This has
// them taken on another core while the screen is grabbed. The store's pixels exist only
// between beginPaint and endPaint (outside, Qt leaves them undefined, and on Wayland there
// is no buffer at all), so the paint stays open until finish().
class BackingStorePrefault {
public:
    BackingStorePrefault(QWidget& window, const QSize& size);
    ~BackingStorePrefault() { finish(); }
    BackingStorePrefault(const BackingStorePrefault&) = delete;
    BackingStorePrefault& operator=(const BackingStorePrefault&) = delete;
    // Wait for the other core and close the paint.
    void finish();

private:
    QBackingStore* store_ = nullptr;
    std::thread thread_;
};
