// Where the ticker stands under a real window manager: its own place, never its frame's, and
// back there when a grown text that was pushed away fits again.
#include "../web/WindowManager.h"
#include "desktop/X11Connection.h"
#include "ticker/DragHandle.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerWindow.h"

#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

class TestTickerPlace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void placeIsTheWindowsOwn();
    void pushedAwayComesBackWhenItFits();
    void toldWhatItIs();
    void bypassesTheManagerInAWaylandSession();
    void asksForNeitherFocusNorAttention();
    void itsWindowsStandAboveItUnderTheManager();

private:
    DisplayProgram m_manager{QStringLiteral("openbox")};
};

void TestTickerPlace::initTestCase()
{
    if (!StartWindowManager(m_manager))
        QSKIP("openbox is needed on this display");
}

void TestTickerPlace::placeIsTheWindowsOwn()
{
    // A window manager that frames the ticker all the same (as weston's XWayland does): the
    // place is where the window itself stands, inside the frame.
    QWidget framed;
    framed.resize(120, 40);
    DragHandle drag(&framed);
    const QPoint place(300, 200);
    drag.placeAt(place);
    framed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&framed));
    QTRY_COMPARE(framed.geometry().topLeft(), place);
    QVERIFY(framed.frameGeometry().topLeft() != place); // it has a frame
    QCOMPARE(drag.place(), place);
}

void TestTickerPlace::pushedAwayComesBackWhenItFits()
{
    TickerWindow ticker;
    ticker.setTextFont(10, false);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint place(screen.right() - 300, screen.top() + 200);
    ticker.showAt(place, place);
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    QTRY_COMPARE(ticker.geometry().topLeft(), place);

    // A line wider than the room to the edge: the window manager keeps it on the screen.
    ticker.showMessage(QString(120, QLatin1Char('X')));
    QVERIFY(ticker.width() > 300);
    // openbox, which this test runs under, keeps a grown window on the screen.
    QTRY_VERIFY_WITH_TIMEOUT(ticker.geometry().left() < place.x(), 3000);
    QCOMPARE(ticker.place(), place); // a forced place is not the user's

    ticker.showMessage(QStringLiteral("NO NETWORK CONNECTION"));
    QTRY_COMPARE(ticker.geometry().topLeft(), place);
}

namespace {

/// The values of a 32-bit property of `window`: atoms or cardinals.
QList<quint32> windowProperty(xcb_window_t window, const char *name)
{
    xcb_connection_t *c = X11Connection();
    QList<quint32> values;
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, InternAtom(c, name), XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
        nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            values.append(data[i]);
    }
    free(reply);
    return values;
}

QList<quint32> windowProperty(const QWidget &window, const char *name)
{
    return windowProperty(xcb_window_t(window.winId()), name);
}

quint32 atom(const char *name)
{
    return InternAtom(X11Connection(), name);
}

/// The values of a 32-bit property of the root window.
QList<quint32> rootProperty(const char *name)
{
    return windowProperty(xcb_setup_roots_iterator(xcb_get_setup(X11Connection())).data->root,
                          name);
}

/// The requests to activate a window that reach the root window, as the window manager gets
/// them: _NET_ACTIVE_WINDOW messages, watched on a connection of the test's own.
class ActivationWatch
{
public:
    ActivationWatch() : m_c(xcb_connect(nullptr, nullptr), &xcb_disconnect)
    {
        xcb_connection_t *c = m_c.get();
        m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        m_activeWindow = InternAtom(c, "_NET_ACTIVE_WINDOW");
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
    }
    /// The windows asked to be activated since the watch began.
    QList<quint32> asked()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c.get())) {
            const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                message->type == m_activeWindow)
                m_asked.append(message->window);
            free(event);
        }
        return m_asked;
    }

private:
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> m_c;
    xcb_window_t m_root = 0;
    xcb_atom_t m_activeWindow = 0;
    QList<quint32> m_asked;
};

} // namespace

void TestTickerPlace::toldWhatItIs()
{
    TickerWindow ticker;
    ticker.setTextFont(10, false);
    ticker.showAt(QPoint(200, 200), QPoint(200, 200));
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    // A utility window without taskbar or pager entry, whose (empty) frame is its own: tiling
    // managers float it, compositors draw neither frame nor shadow.
    QCOMPARE(windowProperty(ticker, "_NET_WM_WINDOW_TYPE").value(0),
             atom("_NET_WM_WINDOW_TYPE_UTILITY"));
    const QList<quint32> state = windowProperty(ticker, "_NET_WM_STATE");
    QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_TASKBAR")));
    QVERIFY(state.contains(atom("_NET_WM_STATE_SKIP_PAGER")));
    QCOMPARE(windowProperty(ticker, "_GTK_FRAME_EXTENTS"), (QList<quint32>{0, 0, 0, 0}));
    QCOMPARE(windowProperty(ticker, "_COMPTON_SHADOW"), QList<quint32>{0});
    QTRY_COMPARE(ticker.geometry().topLeft(), QPoint(200, 200));
}

void TestTickerPlace::bypassesTheManagerInAWaylandSession()
{
    // Through XWayland: sway would centre a managed window and weston frame it.
    qputenv("WAYLAND_DISPLAY", "wayland-test");
    TickerWindow ticker;
    qunsetenv("WAYLAND_DISPLAY");
    ticker.setTextFont(10, false);
    const QPoint place(300, 250);
    ticker.showAt(place, place);
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    xcb_connection_t *c = X11Connection();
    auto *attributes = xcb_get_window_attributes_reply(
        c, xcb_get_window_attributes(c, xcb_window_t(ticker.winId())), nullptr);
    QVERIFY(attributes);
    const bool bypassing = attributes->override_redirect;
    free(attributes);
    QVERIFY(bypassing);
    QCOMPARE(ticker.geometry().topLeft(), place);
    QVERIFY(ticker.frameGeometry() == ticker.geometry()); // no frame at all

    // No manager takes the drag: the window follows the pointer itself.
    QWidget *handle = ticker.lbl(TickerView::Handle);
    const QPoint start = handle->mapToGlobal(handle->rect().center());
    const auto send = [&](QEvent::Type type, const QPoint &global, Qt::MouseButton button,
                          Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(handle->mapFromGlobal(global)), QPointF(global), button,
                          held, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &event);
    };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + QPoint(40, 30), Qt::LeftButton, Qt::NoButton);
    QTRY_COMPARE(ticker.geometry().topLeft(), place + QPoint(40, 30));
    QCOMPARE(ticker.place(), place + QPoint(40, 30));
}

void TestTickerPlace::asksForNeitherFocusNorAttention()
{
    // KWin gives a window shown with a user time of 0 (the toolkit's way of asking not to be
    // activated) no activation, and marks it as demanding attention unless it is a dock, a
    // toolbar or the like. The ticker never wants the keyboard: it says so as a window that takes
    // no input at all, which no manager focuses, and asks for nothing at its map.
    ActivationWatch watch;
    TickerWindow ticker;
    ticker.setTextFont(10, false);
    ticker.showAt(QPoint(220, 180), QPoint(220, 180));
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    QTest::qWait(300); // the manager has managed it
    const quint32 id = quint32(ticker.winId());

    // The cause KWin answers: a user time of 0, on the window or where the toolkit keeps it.
    QVERIFY(windowProperty(ticker, "_NET_WM_USER_TIME").value(0, 1) != 0);
    if (const QList<quint32> timeWindow = windowProperty(ticker, "_NET_WM_USER_TIME_WINDOW");
        !timeWindow.isEmpty())
        QVERIFY(windowProperty(timeWindow.first(), "_NET_WM_USER_TIME").value(0, 1) != 0);
    // WM_HINTS: input False (flag 1, field 1), no urgency (flag 256).
    const QList<quint32> hints = windowProperty(ticker, "WM_HINTS");
    QVERIFY(hints.size() >= 2);
    QVERIFY(hints[0] & 1);
    QCOMPARE(hints[1], 0u);
    QVERIFY(!(hints[0] & 256));
    // No offer to take the focus either: ICCCM's "no input" window.
    const QList<quint32> protocols = windowProperty(ticker, "WM_PROTOCOLS");
    QVERIFY(protocols.contains(atom("WM_DELETE_WINDOW")));
    QVERIFY(!protocols.contains(atom("WM_TAKE_FOCUS")));
    QVERIFY(!watch.asked().contains(id));
    QVERIFY(
        !windowProperty(ticker, "_NET_WM_STATE").contains(atom("_NET_WM_STATE_DEMANDS_ATTENTION")));
    QVERIFY(!rootProperty("_NET_ACTIVE_WINDOW").contains(id));
}

void TestTickerPlace::itsWindowsStandAboveItUnderTheManager()
{
    // Where the manager stacks the ticker (every X11 desktop) the program's windows opened over
    // it stand above it, also once it is raised: it does not stand aside there.
    TickerWindow ticker;
    ticker.setTextFont(10, false);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint place = screen.center();
    ticker.showAt(place, place);
    ticker.showMessage(QStringLiteral("NO NETWORK CONNECTION"));
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    QDialog dialog(&ticker);
    dialog.resize(400, 300);
    QMessageBox box(QMessageBox::Information, QStringLiteral(" Tarnbeck"), QStringLiteral("box"));
    for (QWidget *window : {static_cast<QWidget *>(&dialog), static_cast<QWidget *>(&box)}) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->move(place - QPoint(window->width() / 2, window->height() / 2));
        QTRY_VERIFY(window->frameGeometry().intersects(ticker.geometry()));
    }
    const auto above = [&](const QWidget &window) {
        const QList<quint32> stacking = rootProperty("_NET_CLIENT_LIST_STACKING");
        return stacking.indexOf(quint32(window.winId())) >
               stacking.indexOf(quint32(ticker.winId()));
    };
    QTRY_VERIFY(above(dialog) && above(box));
    ticker.raise(); // as a click on it raises it
    QTest::qWait(200);
    QTRY_VERIFY(above(dialog)); // its own dialog stays above it
    QVERIFY(!ticker.standsAside());
    QCOMPARE(ticker.geometry().topLeft(), place);
}

QTEST_MAIN(TestTickerPlace)
#include "test_tickerplace.moc"
