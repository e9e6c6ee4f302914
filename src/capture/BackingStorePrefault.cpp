#include "capture/BackingStorePrefault.h"

#include <QBackingStore>
#include <QImage>
#include <QWidget>
#include <cstring>

BackingStorePrefault::BackingStorePrefault(QWidget& window, const QSize& size) {
    window.winId();
    QBackingStore* store = window.backingStore();
    if (!store)
        return;
    store->resize(size);
    store->beginPaint(QRect(QPoint(0, 0), size));
    store_ = store;
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    if (!image || image->size() != size)
        return;
    uchar* bits = image->bits();
    const size_t bytes = size_t(image->sizeInBytes());
    thread_ = std::thread([bits, bytes] { std::memset(bits, 0, bytes); });
}

void BackingStorePrefault::finish() {
    if (thread_.joinable())
        thread_.join();
    if (store_)
        store_->endPaint();
    store_ = nullptr;
}
