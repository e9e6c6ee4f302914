#pragma once
#include "platform/Clipboard.h"

// The system clipboard through Qt. The picture is kept as PNG bytes and offered as image/png
// and, decoded on request, in every other picture format Qt offers. The program serves it
// for as long as it runs.
class QtClipboard final : public Clipboard {
public:
    void setPng(const QByteArray& png) override;
    QImage image() const override;
    bool holdsOurs() const override;
    void clear() override;
    bool setsWithoutWindow() const override;

private:
    // What setPng handed to Qt (Qt owns and deletes it); compared, never dereferenced.
    const void* ours_ = nullptr;
};
