// The web windows from the ticker's menu, in their own process: a chart killed under the ticker,
// the camera waited for, "拡張設定" from a page's link and a save reaching the chart, the end.
#include "DocumentServer.h"
#include "WebProcessSupport.h"
#include "WindowManager.h"
#include "desktop/MessageBox.h"
#include "platform/Twips.h"
#include "settings/ExtendedSettingsWindow.h"
#include "support/TickerFixture.h"
#include "web/WebWindowsProcess.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>
#include <csignal>

namespace {

const QString chartTitle = QStringLiteral(" 天気のツボ");
const QString cameraTitle = QStringLiteral("新千歳空港");

bool xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
}

} // namespace

class TestWebTicker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void chartKilledUnderTheTicker();
    void cameraHoldsTheNetworkCheck();
    void notSetLinkOpensExtendedSettingsAtItsSource();
    void saveFromTheMenuReachesTheOpenChart();
    void tickerEndEndsTheWebWindows();
    void aTickerAboveEveryWindowStandsAsideFromThem();

private:
    /// Loads the ticker and opens "天気図" from its menu; the web process's id, 0 on failure.
    qint64 openChart();
    /// Whether the documents' server was asked for a path under `prefix`, after the first
    /// `skipped` requests.
    bool anyRequestUnder(const QString &prefix, qsizetype skipped = 0) const
    {
        const QStringList requests = m_server.requests().mid(skipped);
        return std::any_of(requests.begin(), requests.end(),
                           [&](const QString &path) { return path.startsWith(prefix); });
    }

    DocumentServer m_server;
    DisplayProgram m_windowManager{QStringLiteral("openbox")};
    QList<ShownMessage> m_messages;
    std::unique_ptr<MessageSink> m_sink;
    std::unique_ptr<TickerFixture> m_fixture;
    TickerSession *m_ticker = nullptr;
};

void TestWebTicker::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    if (!StartWindowManager(m_windowManager))
        QSKIP("needs openbox");
    QVERIFY(m_server.start());
    m_sink = std::make_unique<MessageSink>([this](const ShownMessage &m) { m_messages.append(m); });
}

void TestWebTicker::cleanupTestCase()
{
    m_sink.reset();
}

void TestWebTicker::init()
{
    m_messages.clear();
    m_fixture = std::make_unique<TickerFixture>();
    QVERIFY(m_fixture->db().execute(
        QStringLiteral("UPDATE host SET url = '%1' WHERE name LIKE 'chart%' OR name LIKE 'camera%'")
            .arg(m_server.baseUrl().toString())));
}

void TestWebTicker::cleanup()
{
    m_fixture.reset();
    m_ticker = nullptr;
}

qint64 TestWebTicker::openChart()
{
    m_ticker = m_fixture->load();
    if (!m_ticker)
        return 0;
    WebWindowsProcess &web = m_ticker->webWindows();
    QSignalSpy opened(&web, &WebWindowsProcess::windowOpened);
    m_ticker->menu().menu_weather_Click();
    if (!QTest::qWaitFor([&] { return opened.count() == 1; }, 30000))
        return 0;
    return web.processId();
}

void TestWebTicker::chartKilledUnderTheTicker()
{
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    TickerMenu &menu = m_ticker->menu();
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.size(), 1, webTimeoutMs);
    QVERIFY2(m_messages.first().text.contains(QStringLiteral("異常終了")),
             qPrintable(m_messages.first().text));

    // The ticker runs on: its menu opens, and the next "天気図" opens a window again.
    m_ticker->window().showPopupMenu(QPoint(10, 10));
    QTRY_VERIFY_WITH_TIMEOUT(menu.menu().menu()->isVisible(), webTimeoutMs);
    menu.menu().menu()->hide();
    QSignalSpy opened(&m_ticker->webWindows(), &WebWindowsProcess::windowOpened);
    menu.menu_weather_Click();
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
    const qint64 again = m_ticker->webWindows().processId();
    QVERIFY(again != pid);
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(again, chartTitle).size(), 1, webTimeoutMs);
    QCOMPARE(m_messages.size(), 1);
}

void TestWebTicker::cameraHoldsTheNetworkCheck()
{
    m_ticker = m_fixture->load();
    QVERIFY(m_ticker);
    TickerMenu &menu = m_ticker->menu();
    TickerCycle &cycle = m_ticker->cycle();
    QSignalSpy opened(&m_ticker->webWindows(), &WebWindowsProcess::windowOpened);
    menu.menu_camera_Click();
    // Waited for as a modal window: the stand-in of the one in the other process.
    QVERIFY(menu.modalWindow());
    QCOMPARE(menu.modalWindow(), m_ticker->webWindows().cameraStandIn());
    QTRY_VERIFY_WITH_TIMEOUT(
        !cycle.isActive(CycleClock::NetworkCheck) && !cycle.isCheckingNetwork(), webTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
    const qint64 pid = m_ticker->webWindows().processId();
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(pid, cameraTitle).size(), 1, webTimeoutMs);
    const xcb_window_t camera = WindowsTitled(pid, cameraTitle).first().id;
    const qsizetype checks = m_fixture->server().requests().count(QStringLiteral("/ident.dat"));

    // A click on the ticker opens no menu beside it: the camera window comes forward.
    QWidget other;
    other.resize(300, 200);
    other.show();
    // Asked once it is mapped: asked before, Qt would ask again when the map comes in, later.
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    QTRY_VERIFY_WITH_TIMEOUT(
        other.isActiveWindow() && ActiveWindow() == xcb_window_t(other.winId()), webTimeoutMs);
    m_ticker->window().showPopupMenu(QPoint(10, 10));
    QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), camera, webTimeoutMs);
    QVERIFY(!menu.menu().menu()->isVisible());
    QTRY_COMPARE(opened.count(), 2); // the same window, shown again
    QVERIFY(!cycle.isActive(CycleClock::NetworkCheck) && !cycle.isCheckingNetwork());
    QCOMPARE(m_fixture->server().requests().count(QStringLiteral("/ident.dat")), checks);

    // Closed, the ticker goes on: a network check follows. (A close asked for in the very
    // moment the window comes forward can be missed; a user clicks again, and so does this.)
    QVERIFY(QTest::qWaitFor(
        [&] {
            CloseWindow(camera);
            return QTest::qWaitFor([&] { return !menu.modalWindow(); }, 1000);
        },
        10000));
    QTRY_VERIFY(cycle.isActive(CycleClock::NetworkCheck) || cycle.isCheckingNetwork() ||
                m_fixture->server().requests().count(QStringLiteral("/ident.dat")) > checks);
    QVERIFY(m_messages.isEmpty());
}

void TestWebTicker::notSetLinkOpensExtendedSettingsAtItsSource()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("needs xdotool");
    // The opening chart's source has no address, nor the agency that would stand in for it: its
    // page links to "拡張設定".
    QVERIFY(m_fixture->db().execute(
        QStringLiteral("UPDATE host SET url = '' WHERE name IN ('chart2', 'jma')")));
    const qsizetype before = m_server.requests().size();
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(pid, chartTitle).size(), 1, webTimeoutMs);
    const QString chart = QString::number(WindowsTitled(pid, chartTitle).first().id);
    QVERIFY(!anyRequestUnder(QStringLiteral("/imagedata/tubo/"), before));

    // The user follows the link, from the keyboard.
    const auto extendedSettings = [] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<ExtendedSettingsWindow *>(widget);
                window && window->isVisible())
                return window;
        }
        return static_cast<ExtendedSettingsWindow *>(nullptr);
    };
    QVERIFY(QTest::qWaitFor(
        [&] {
            xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), chart});
            xdotool({QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("Return")});
            return QTest::qWaitFor([&] { return extendedSettings() != nullptr; }, 1000);
        },
        20000));
    ExtendedSettingsWindow *settings = extendedSettings();
    QCOMPARE(settings->focusWidget(), settings->address(QStringLiteral("chart2")));
    // Its save shows the document in the open window.
    settings->address(QStringLiteral("chart2"))->setText(m_server.baseUrl().toString());
    QVERIFY(settings->save());
    QTRY_VERIFY_WITH_TIMEOUT(anyRequestUnder(QStringLiteral("/imagedata/tubo/"), before),
                             webTimeoutMs);
    settings->close();
}

void TestWebTicker::saveFromTheMenuReachesTheOpenChart()
{
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    TickerMenu &menu = m_ticker->menu();
    // "拡張設定..." from the menu, not the chart's own link.
    menu.menu_extended_Click();
    auto *settings = qobject_cast<ExtendedSettingsWindow *>(menu.modalWindow());
    QVERIFY(settings);
    settings->address(QStringLiteral("chart2"))
        ->setText(m_server.baseUrl().toString() + QStringLiteral("/saved"));
    QVERIFY(settings->save());
    QTRY_VERIFY_WITH_TIMEOUT(anyRequestUnder(QStringLiteral("/saved/imagedata/tubo/")),
                             webTimeoutMs);
    settings->close();
    QCOMPARE(m_ticker->webWindows().processId(), pid);
}

void TestWebTicker::tickerEndEndsTheWebWindows()
{
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    const QList<qint64> processes = ProcessTree(pid);
    QVERIFY(processes.size() > 1);
    QSignalSpy exited(m_ticker, &TickerSession::exited);
    m_ticker->close(); // as "終了", a signal or a logout do
    QCOMPARE(exited.count(), 1);
    QVERIFY(!ProcessAlive(pid));
    QTRY_COMPARE_WITH_TIMEOUT(StillRunning(processes), QList<qint64>(), 5000);
    QVERIFY(m_messages.isEmpty());
}

void TestWebTicker::aTickerAboveEveryWindowStandsAsideFromThem()
{
    // In a Wayland session the ticker bypasses the window manager and is drawn above every
    // window: it stands aside from the camera window of the other process as from its own.
    const QPoint home = QGuiApplication::primaryScreen()->geometry().center();
    QVERIFY(m_fixture->setSettings(QStringLiteral("posX = %1, posY = %2")
                                       .arg(pixelsToTwips(home.x()))
                                       .arg(pixelsToTwips(home.y()))));
    qputenv("WAYLAND_DISPLAY", "wayland-test");
    m_ticker = m_fixture->load();
    qunsetenv("WAYLAND_DISPLAY");
    QVERIFY(m_ticker);
    TickerWindow &ticker = m_ticker->window();
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    QTRY_COMPARE(ticker.geometry().topLeft(), home);
    WebWindowsProcess &web = m_ticker->webWindows();
    m_ticker->menu().menu_camera_Click();
    const auto covered = [&] {
        const QList<QRect> frames = web.windowFrames();
        return ticker.isVisible() &&
               std::any_of(frames.begin(), frames.end(),
                           [&](const QRect &frame) { return frame.intersects(ticker.geometry()); });
    };
    // The camera window opens in the middle of the screen, where the ticker stands.
    QTRY_VERIFY_WITH_TIMEOUT(!web.windowFrames().isEmpty() && ticker.standsAside(), webTimeoutMs);
    QTRY_VERIFY(!covered());
    QCOMPARE(ticker.place(), home);
    const qint64 pid = web.processId();
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(pid, cameraTitle).size(), 1, webTimeoutMs);
    QVERIFY(!covered());

    QVERIFY(CloseWindowUntil(WindowsTitled(pid, cameraTitle).first().id,
                             [&] { return !m_ticker->menu().modalWindow(); }));
    QTRY_VERIFY_WITH_TIMEOUT(!ticker.standsAside(), webTimeoutMs);
    QVERIFY(ticker.isVisible());
    QCOMPARE(ticker.geometry().topLeft(), home);
}

QTEST_MAIN(TestWebTicker)
#include "test_webticker.moc"
