#include "ZnCompositor.h"

#include <QByteArray>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

bool x11CompositorRunning()
{
    int screen = 0;
    xcb_connection_t *conn = xcb_connect(nullptr, &screen);
    if (!conn || xcb_connection_has_error(conn)) {
        if (conn)
            xcb_disconnect(conn);
        return false;
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    bool running = false;
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(conn, xcb_intern_atom(conn, 0, name.size(), name.constData()), nullptr);
    if (atom) {
        xcb_get_selection_owner_reply_t *owner =
            xcb_get_selection_owner_reply(conn, xcb_get_selection_owner(conn, atom->atom), nullptr);
        if (owner) {
            running = owner->owner != XCB_NONE;
            std::free(owner);
        }
        std::free(atom);
    }
    xcb_disconnect(conn);
    return running;
}

} // namespace

bool ZnCompositor::translucentWindows()
{
    // Asked once: a compositor that starts later only costs the soft shadow.
    static const bool translucent = QGuiApplication::platformName() != QLatin1String("xcb") || x11CompositorRunning();
    return translucent;
}
