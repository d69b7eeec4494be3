#include "windowpropertyevents.h"

#include <QGuiApplication>
#include <QWindow>

#ifdef DESKALARM_HAVE_XCB
#include <cstdlib>
#include <xcb/xcb.h>
#endif

void stopPropertyEvents(QWindow &window)
{
#ifdef DESKALARM_HAVE_XCB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Keep whatever else the toolkit selected.
    xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr);
    if (!attributes)
        return;
    const uint32_t mask = attributes->your_event_mask & ~uint32_t(XCB_EVENT_MASK_PROPERTY_CHANGE);
    std::free(attributes);
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}
