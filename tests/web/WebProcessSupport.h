// Looking at tarnbeck-web from outside: its windows on the X server, its processes, a close box.
#pragma once

// The browser engine under the sanitizers, beside other tests on two cores, may take many
// seconds to start or to answer: the waits allow for it.
inline constexpr int webTimeoutMs = 30000;

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QList>
#include <QRect>
#include <QString>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

/// A shown top-level window of another process.
struct ProcessWindow
{
    xcb_window_t id = 0;
    QString title;
    QRect geometry;
};

namespace WebProcessSupport {

template <typename T> using Reply = std::unique_ptr<T, decltype(&free)>;

inline xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr),
        &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

inline QByteArray property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name)
{
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr),
        &free);
    if (!reply)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

inline void collect(xcb_connection_t *c, xcb_window_t window, quint32 pid,
                    QList<ProcessWindow> &out)
{
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr), &free);
    if (!tree)
        return;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t child = children[i];
        const Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, child), nullptr),
            &free);
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const QByteArray owner = property(c, child, atom(c, "_NET_WM_PID"));
        if (owner.size() == 4 && *reinterpret_cast<const quint32 *>(owner.constData()) == pid) {
            const Reply<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(c, xcb_get_geometry(c, child), nullptr), &free);
            out.append({child, QString::fromUtf8(property(c, child, atom(c, "_NET_WM_NAME"))),
                        geometry
                            ? QRect(geometry->x, geometry->y, geometry->width, geometry->height)
                            : QRect()});
            continue;
        }
        collect(c, child, pid, out); // a window manager's frame holds the client
    }
}

} // namespace WebProcessSupport

/// The shown top-level windows of the process `pid` (by _NET_WM_PID).
inline QList<ProcessWindow> WindowsOfProcess(qint64 pid)
{
    QList<ProcessWindow> found;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (pid <= 0 || xcb_connection_has_error(c.get()))
        return found;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data;
    WebProcessSupport::collect(c.get(), screen->root, quint32(pid), found);
    return found;
}

/// The windows of `pid` whose title starts with `prefix`.
inline QList<ProcessWindow> WindowsTitled(qint64 pid, const QString &prefix)
{
    QList<ProcessWindow> found = WindowsOfProcess(pid);
    found.removeIf([&](const ProcessWindow &w) { return !w.title.startsWith(prefix); });
    return found;
}

/// What the close box does: asks the window's program to close it.
inline void CloseWindow(xcb_window_t window)
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = WebProcessSupport::atom(c.get(), "WM_PROTOCOLS");
    message.data.data32[0] = WebProcessSupport::atom(c.get(), "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c.get());
}

/// Asks `window` to close, as its close box does, until `closed` holds; false when it never
/// does. A close asked in the very first moments of a browser window can go unheard, and a user
/// would click again.
template <typename Closed> bool CloseWindowUntil(xcb_window_t window, Closed closed)
{
    QDeadlineTimer deadline(webTimeoutMs);
    while (!deadline.hasExpired()) {
        CloseWindow(window);
        if (QTest::qWaitFor(closed, 2000))
            return true;
    }
    return false;
}

/// Whether `pid` runs (a zombie, ended but not collected, does not).
inline bool ProcessAlive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && line.size() > end + 2 && line.at(end + 2) != 'Z';
}

/// `pid` and every process below it: the browser engine's own among them.
inline QList<qint64> ProcessTree(qint64 pid)
{
    QList<qint64> tree{pid};
    for (qsizetype i = 0; i < tree.size(); ++i) {
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(tree.at(i)));
        for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks.filePath(task + QStringLiteral("/children")));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &child : children.readAll().split(' ')) {
                if (!child.trimmed().isEmpty() && !tree.contains(child.trimmed().toLongLong()))
                    tree.append(child.trimmed().toLongLong());
            }
        }
    }
    return tree;
}

/// Those of `pids` still running.
inline QList<qint64> StillRunning(const QList<qint64> &pids)
{
    QList<qint64> running;
    for (qint64 pid : pids) {
        if (ProcessAlive(pid))
            running.append(pid);
    }
    return running;
}

/// The window the window manager has made active (_NET_ACTIVE_WINDOW), 0 when none.
inline xcb_window_t ActiveWindow()
{
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(c.get()))
        return 0;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data;
    const QByteArray active = WebProcessSupport::property(
        c.get(), screen->root, WebProcessSupport::atom(c.get(), "_NET_ACTIVE_WINDOW"));
    return active.size() == 4 ? *reinterpret_cast<const xcb_window_t *>(active.constData()) : 0;
}

/// The environment the process `pid` was started with.
inline QList<QByteArray> ProcessEnvironment(qint64 pid)
{
    QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
    return environ.open(QIODevice::ReadOnly) ? environ.readAll().split('\0') : QList<QByteArray>();
}
