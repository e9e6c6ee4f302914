#include "platform/QtPlatform.h"

Platform QtPlatform::platform() {
    Platform p;
    p.screen = &screen_;
    p.pointer = &pointer_;
    p.messageBox = &messageBox_;
    p.instance = instance_;
    p.program = &program_;
    p.clipboard = &clipboard_;
    p.saveDialog = &saveDialog_;
    p.shell = &shell_;
    return p;
}
