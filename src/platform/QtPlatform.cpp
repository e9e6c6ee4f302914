#include "platform/QtPlatform.h"

#include "platform/PortalScreenSource.h"

QtPlatform::QtPlatform(InstanceCheck* instance, const DesktopScaleHints& scale)
    : instance_(instance),
      screen_(waylandSession() ? std::make_unique<PortalScreenSource>(scale)
                               : std::make_unique<QtScreenSource>(scale)) {}

QtPlatform::~QtPlatform() = default;

Platform QtPlatform::platform() {
    Platform p;
    p.screen = screen_.get();
    p.pointer = &pointer_;
    p.messageBox = &messageBox_;
    p.instance = instance_;
    p.program = &program_;
    p.clipboard = &clipboard_;
    p.saveDialog = &saveDialog_;
    p.shell = &shell_;
    return p;
}
