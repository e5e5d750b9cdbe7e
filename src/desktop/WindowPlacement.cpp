// Window placement: the screen to use, and on X11 the frame extents the window manager reports.
#include "desktop/WindowPlacement.h"

#include "desktop/X11Connection.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <memory>
#include <optional>
#include <poll.h>
#include <xcb/xcb.h>

// Last: Xlib's macros would clash with the Qt headers.
#include <X11/Xlib.h>

namespace {

// A manager that supports the request answers within milliseconds; this only bounds the wait
// for one that claims support and never answers.
constexpr int frameAnswerMs = 500;

template <typename T> using Reply = std::unique_ptr<T, decltype(&free)>;

Reply<xcb_get_property_reply_t> property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name,
                                         xcb_atom_t type, uint32_t length)
{
    return {
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, length), nullptr),
        &free};
}

/// _NET_FRAME_EXTENTS of `window`: left, right, top, bottom.
std::optional<QMargins> frameExtents(xcb_connection_t *c, xcb_window_t window)
{
    const auto reply =
        property(c, window, InternAtom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto *v = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
}

xcb_window_t windowProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name)
{
    const auto reply = property(c, window, name, XCB_ATOM_WINDOW, 1);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
        return XCB_WINDOW_NONE;
    return *static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
}

/// A manager is running (its check window still exists) and answers _NET_REQUEST_FRAME_EXTENTS.
bool answersFrameRequests(xcb_connection_t *c, xcb_window_t root, xcb_atom_t request)
{
    const xcb_atom_t check = InternAtom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t manager = windowProperty(c, root, check);
    // A manager that has gone leaves its root properties behind.
    if (manager == XCB_WINDOW_NONE || windowProperty(c, manager, check) != manager)
        return false;
    const auto supported = property(c, root, InternAtom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 4096);
    if (!supported || supported->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    return std::find(atoms, atoms + count, request) != atoms + count;
}

/// Reads the events of `c`, our own connection, until `take` accepts a property change of
/// `window` or a manager that answers at all would have answered.
template <typename Take>
void AwaitPropertyChange(xcb_connection_t *c, xcb_window_t window, Take take)
{
    const QDeadlineTimer deadline(frameAnswerMs);
    while (!deadline.hasExpired() && !xcb_connection_has_error(c)) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
            const bool taken = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                               change->window == window && take(*change);
            free(event);
            if (taken)
                return;
        }
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&fd, 1, int(qMax<qint64>(1, deadline.remainingTime())));
    }
}

/// Asks the manager for the frame it would give the unmapped `window`. The answer comes as a
/// property change, which a connection of our own waits for: Qt's events are not touched.
std::optional<QMargins> askWindowManager(const char *display, xcb_window_t window)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> own(
        xcb_connect(display, nullptr), &xcb_disconnect);
    xcb_connection_t *c = own.get();
    if (xcb_connection_has_error(c))
        return std::nullopt;
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &free);
    const xcb_atom_t request = InternAtom(c, "_NET_REQUEST_FRAME_EXTENTS");
    if (!geometry || !answersFrameRequests(c, geometry->root, request))
        return std::nullopt;
    const xcb_atom_t extents = InternAtom(c, "_NET_FRAME_EXTENTS");

    // Listen before asking, so that the answer cannot slip by.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(c, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);

    std::optional<QMargins> answer;
    AwaitPropertyChange(c, window, [&](const xcb_property_notify_event_t &change) {
        // A manager that has just let the window go erases the old extents first.
        if (change.atom == extents && change.state == XCB_PROPERTY_NEW_VALUE)
            answer = frameExtents(c, window);
        return answer.has_value();
    });
    return answer;
}

bool mapped(xcb_connection_t *c, xcb_window_t window)
{
    const Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr), &free);
    return reply && reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

/// The X server's time now: the stamp of a property change made for the purpose, on a
/// connection of our own so that Qt's events are not touched. XCB_CURRENT_TIME if none comes.
xcb_timestamp_t serverTime(xcb_connection_t *c, xcb_window_t window, xcb_atom_t marker)
{
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    // Appending nothing changes nothing, yet the server tells of it with its time.
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window, marker, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(c);
    xcb_timestamp_t time = XCB_CURRENT_TIME;
    AwaitPropertyChange(c, window, [&](const xcb_property_notify_event_t &change) {
        if (change.atom != marker)
            return false;
        time = change.time;
        return true;
    });
    return time;
}

QMargins scaled(const QMargins &device, qreal ratio)
{
    return ratio == 1.0 ? device : (device.toMarginsF() / ratio).toMargins();
}

} // namespace

QPoint CentredOn(const QRect &screen, const QSize &outer)
{
    return {screen.x() + (screen.width() - outer.width()) / 2,
            screen.y() + (screen.height() - outer.height()) / 2};
}

namespace {

QPointer<QWidget> &anchorWindow()
{
    static QPointer<QWidget> anchor;
    return anchor;
}

} // namespace

void SetAnchorWindow(QWidget *window)
{
    anchorWindow() = window;
}

QScreen *ScreenFor(const QWidget *owner)
{
    for (const QWidget *w = owner; w; w = w->parentWidget()) {
        if (w->window()->isVisible())
            return w->window()->screen();
    }
    // The ticker stands on the desktop for the whole run; hidden while it stands aside
    // (StandAside), it still belongs to its screen.
    if (const QWidget *anchor = anchorWindow(); anchor && anchor->windowHandle())
        return anchor->screen();
    return QGuiApplication::primaryScreen();
}

QMargins WindowFrame(QWidget *window)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        // Elsewhere the platform's own idea of the frame is all there is.
        const QWindow *handle = window->windowHandle();
        return handle ? handle->frameMargins() : QMargins();
    }
    const auto id = xcb_window_t(window->winId());
    xcb_connection_t *c = x11->connection();
    // A managed window carries its frame's extents, kept current by the manager.
    const std::optional<QMargins> extents =
        mapped(c, id)
            ? frameExtents(c, id)
            : askWindowManager(x11->display() ? DisplayString(x11->display()) : nullptr, id);
    return scaled(extents.value_or(QMargins()), window->devicePixelRatioF());
}

void BringForward(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> own(
        xcb_connect(x11->display() ? DisplayString(x11->display()) : nullptr, nullptr),
        &xcb_disconnect);
    xcb_connection_t *c = own.get();
    const auto id = xcb_window_t(window->winId());
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), &free);
    if (xcb_connection_has_error(c) || !geometry)
        return;
    const xcb_timestamp_t now = serverTime(c, id, InternAtom(c, "_TARNBECK_TIME"));
    if (now == XCB_CURRENT_TIME)
        return; // a user time of 0 would ask the manager never to give it the keyboard
    // Qt keeps the time of the last user action on a window of its own, when the manager can.
    const xcb_window_t timeWindow =
        windowProperty(c, id, InternAtom(c, "_NET_WM_USER_TIME_WINDOW"));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, timeWindow ? timeWindow : id,
                        InternAtom(c, "_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &now);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = InternAtom(c, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 1; // an application's request
    message.data.data32[1] = now;
    xcb_send_event(c, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);
}

void CentreOnScreen(QWidget *window, QScreen *screen)
{
    CentreOnScreen(window, screen, WindowFrame(window));
}

void CentreOnScreen(QWidget *window, QScreen *screen, const QMargins &frame)
{
    if (!screen)
        return;
    const QPoint corner = CentredOn(screen->geometry(), window->size().grownBy(frame));
    // The client's own place: Qt then asks for static gravity, and the frame goes around it.
    window->setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window->size()));
}

QList<QRect> ShownWindowFrames(const QWidget *except)
{
    QList<QRect> frames;
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = window->windowType();
        // Menus, lists and tips come and go with a click and stand above everything anyway.
        if (window == except || !window->isVisible() || window->isMinimized() ||
            type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop ||
            window->testAttribute(Qt::WA_DontShowOnScreen) ||
            window->windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
            continue;
        frames.append(window->frameGeometry());
    }
    return frames;
}

WindowsWatch::WindowsWatch(std::function<void()> changed, QObject *parent)
    : QObject(parent), m_changed(std::move(changed))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] { m_changed(); });
    QCoreApplication::instance()->installEventFilter(this);
}

WindowsWatch::~WindowsWatch()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool WindowsWatch::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            m_soon.start();
        break;
    default:
        break;
    }
    return false;
}

std::optional<QPoint> ClearPlace(const QRect &area, const QPoint &home, const QSize &size,
                                 const QList<QRect> &windows)
{
    const auto clear = [&](const QPoint &at) {
        const QRect rect(at, size);
        return std::none_of(windows.begin(), windows.end(),
                            [&](const QRect &w) { return w.intersects(rect); });
    };
    if (clear(home))
        return home;
    // The nearest clear place touches a window's edge or the area's, or keeps a coordinate.
    QList<int> xs{home.x(), area.left(), area.right() + 1 - size.width()};
    QList<int> ys{home.y(), area.top(), area.bottom() + 1 - size.height()};
    for (const QRect &w : windows) {
        xs << w.left() - size.width() << w.right() + 1;
        ys << w.top() - size.height() << w.bottom() + 1;
    }
    std::optional<QPoint> best;
    qint64 bestDistance = 0;
    for (const int x : std::as_const(xs)) {
        for (const int y : std::as_const(ys)) {
            const QPoint at(x, y);
            if (!area.contains(QRect(at, size)) || !clear(at))
                continue;
            const QPoint d = at - home;
            const qint64 distance = qint64(d.x()) * d.x() + qint64(d.y()) * d.y();
            if (!best || distance < bestDistance) {
                best = at;
                bestDistance = distance;
            }
        }
    }
    return best;
}

namespace {

/// Room around a window for the frame its manager draws without telling of it: sway gives a
/// managed X window a title bar (about 25 pixels with its default font) and a border, and tells
/// of neither (no _NET_FRAME_EXTENTS, no parent window), so the frame Qt knows is the window's
/// own. Around a frame that is known it is only a little room.
constexpr QMargins unseenFrame(6, 40, 6, 6);

} // namespace

StandAside::StandAside(QWidget *window, QObject *parent)
    : QObject(parent), m_window(window), m_watch([this] { update(); }, this)
{}

StandAside::~StandAside() = default;

bool StandAside::bypassesManager(const QWidget *window)
{
    return window->windowFlags().testFlag(Qt::X11BypassWindowManagerHint);
}

void StandAside::setOtherWindows(const QList<QRect> &frames)
{
    m_others = frames;
    update();
}

void StandAside::setHeld(bool held)
{
    if (held == m_held || !m_window)
        return;
    m_held = held;
    if (held) {
        m_heldAt = m_window->geometry().topLeft();
        return;
    }
    // Moved by the user while aside: where it was left is its own place now.
    if (m_aside && m_window->geometry().topLeft() != m_heldAt) {
        m_aside = false;
        emit asideChanged(false);
    }
    update();
}

QList<QRect> StandAside::windowsInTheWay() const
{
    QList<QRect> windows;
    for (const QRect &frame : ShownWindowFrames(m_window) + m_others) {
        if (!frame.isEmpty())
            windows.append(frame.marginsAdded(unseenFrame));
    }
    return windows;
}

void StandAside::update()
{
    QWidget *window = m_window;
    if (!window || m_held || (!m_aside && !window->isVisible()))
        return; // moved by the user now, or not shown by the program
    const QList<QRect> inTheWay = bypassesManager(window) ? windowsInTheWay() : QList<QRect>();
    if (inTheWay.isEmpty()) {
        comeBack();
        return;
    }
    const QPoint home = m_aside ? m_home : window->geometry().topLeft();
    const QScreen *screen = QGuiApplication::screenAt(home);
    if (!screen)
        screen = window->screen();
    const std::optional<QPoint> place =
        screen ? ClearPlace(screen->availableGeometry(), home, window->size(), inTheWay)
               : std::nullopt;
    if (place == home) {
        comeBack();
        return;
    }
    m_home = home;
    goAside(place);
}

void StandAside::goAside(const std::optional<QPoint> &at)
{
    QWidget *window = m_window;
    if (!window)
        return;
    if (!m_aside) {
        m_aside = true; // told first: the owner must not take the next move for a place
        emit asideChanged(true);
    }
    if (!at) {
        if (!m_hidden) {
            m_hidden = true;
            window->hide();
        }
        return;
    }
    if (window->geometry().topLeft() != *at)
        window->setGeometry(QRect(*at, window->size()));
    if (m_hidden) {
        m_hidden = false;
        window->show();
    }
}

void StandAside::comeBack()
{
    QWidget *window = m_window;
    if (!window || !m_aside)
        return;
    if (window->geometry().topLeft() != m_home)
        window->setGeometry(QRect(m_home, window->size()));
    if (m_hidden) {
        m_hidden = false;
        window->show();
    }
    m_aside = false;
    emit asideChanged(false);
}
