#include "platform/X11ShmGrab.h"

#include <QGuiApplication>
#include <cstdlib>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {
xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The root's visual is 24-bit TrueColor in the byte order of an RGB32 picture.
bool rootIsRgb32(const xcb_screen_t* screen) {
    if (screen->root_depth != 24 && screen->root_depth != 32)
        return false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
            if (v.data->visual_id == screen->root_visual)
                return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                       v.data->red_mask == 0xFF0000 && v.data->green_mask == 0x00FF00 &&
                       v.data->blue_mask == 0x0000FF;
        }
    }
    return false;
}
} // namespace

QImage grabRootWithShm(const QRect& area) {
    xcb_connection_t* c = x11Connection();
    if (!c || area.isEmpty())
        return {};
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present)
        return {};
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen || !rootIsRgb32(screen))
        return {};

    const size_t bytes = size_t(area.width()) * size_t(area.height()) * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return {};
    void* addr = shmat(id, nullptr, 0);
    if (addr == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return {};
    }
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    xcb_shm_attach(c, seg, uint32_t(id), 0);
    xcb_generic_error_t* error = nullptr;
    xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(
        c,
        xcb_shm_get_image(c, screen->root, int16_t(area.x()), int16_t(area.y()),
                          uint16_t(area.width()), uint16_t(area.height()), ~0u,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0),
        &error);
    xcb_shm_detach(c, seg);
    xcb_flush(c);
    // Both sides are attached by now (or failed): the segment goes when the last detaches.
    shmctl(id, IPC_RMID, nullptr);
    const bool ok = reply && !error;
    std::free(reply);
    std::free(error);
    if (!ok) {
        shmdt(addr);
        return {};
    }
    QImage img(
        static_cast<uchar*>(addr), area.width(), area.height(), area.width() * 4,
        QImage::Format_RGB32, [](void* p) { shmdt(p); }, addr);
    // The server leaves the padding byte as it likes; an RGB32 picture wants it 0xFF.
    auto* px = reinterpret_cast<quint32*>(addr);
    for (size_t i = 0, n = bytes / 4; i < n; ++i)
        px[i] |= 0xFF000000u;
    return img;
}
