// Where the ticker stands under a real window manager: its own place, never its frame's, and
// back there when a grown text that was pushed away fits again.
#include "../web/WindowManager.h"
#include "desktop/X11Connection.h"
#include "ticker/DragHandle.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerWindow.h"

#include <QGuiApplication>
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
QList<quint32> windowProperty(const QWidget &window, const char *name)
{
    xcb_connection_t *c = X11Connection();
    QList<quint32> values;
    auto *reply = xcb_get_property_reply(c,
                                         xcb_get_property(c, 0, xcb_window_t(window.winId()),
                                                          InternAtom(c, name),
                                                          XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                                         nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            values.append(data[i]);
    }
    free(reply);
    return values;
}

quint32 atom(const char *name)
{
    return InternAtom(X11Connection(), name);
}

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

QTEST_MAIN(TestTickerPlace)
#include "test_tickerplace.moc"
