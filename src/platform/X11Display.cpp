#include "platform/X11Display.h"

#include <xcb/xcb.h>

bool x11DisplayOpens(const char* name) {
    xcb_connection_t* connection = xcb_connect(name, nullptr);
    const bool opened = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection); // safe on a failed connection too
    return opened;
}
