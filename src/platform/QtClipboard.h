#pragma once
#include "platform/Clipboard.h"

// The system clipboard through Qt. The picture is offered as image/png encoded by the fast
// PNG writer (once, on the first request, then kept), and in every other image format Qt
// offers. The program serves it for as long as it runs.
class QtClipboard final : public Clipboard {
public:
    void setImage(const QImage& img) override;
    QImage image() const override;
    void clear() override;
};
