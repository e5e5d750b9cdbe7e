// The compositing manager's selection, read at start and followed through XFixes.
#include "desktop/Compositor.h"

#include "desktop/X11Connection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

/// The screen DISPLAY names, the one the toolkit opens.
int DefaultScreenNumber()
{
    char *host = nullptr;
    int display = 0;
    int number = 0;
    if (!xcb_parse_display(nullptr, &host, &display, &number))
        return 0;
    std::free(host);
    return number;
}

xcb_screen_t *Screen(xcb_connection_t *connection, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; it.rem; xcb_screen_next(&it), --number) {
        if (number == 0)
            return it.data;
    }
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
}

} // namespace

CompositorWatch::CompositorWatch(QObject *parent) : QObject(parent)
{
    xcb_connection_t *connection = X11Connection();
    if (!connection)
        return;
    const int number = DefaultScreenNumber();
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(number);
    const Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection,
                              xcb_intern_atom(connection, 0, uint16_t(name.size()), name.data()),
                              nullptr),
        &std::free);
    if (!atom)
        return;
    m_selection = atom->atom;
    const Reply<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, m_selection),
                                      nullptr),
        &std::free);
    m_running = owner && owner->owner != XCB_NONE;

    // Without XFixes the state read at start stays: a desktop without it has no compositor.
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    const Reply<xcb_xfixes_query_version_reply_t> version(
        xcb_xfixes_query_version_reply(connection, xcb_xfixes_query_version(connection, 1, 0),
                                       nullptr),
        &std::free);
    if (!version)
        return;
    m_notifyEvent = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    xcb_xfixes_select_selection_input(connection, Screen(connection, number)->root, m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(connection);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

CompositorWatch::~CompositorWatch()
{
    if (m_notifyEvent && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool CompositorWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != m_notifyEvent)
        return false;
    const auto *notify = static_cast<const xcb_xfixes_selection_notify_event_t *>(message);
    if (notify->selection != m_selection)
        return false;
    const bool running = notify->owner != XCB_NONE;
    if (running != m_running) {
        m_running = running;
        emit changed(running);
    }
    return false; // the toolkit follows the same selection for its own needs
}
