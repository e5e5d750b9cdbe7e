// tarnbeck-web's side of the protocol in this process: the ticker's lines carried out on real
// windows, and what happens to them told back, on a real display.
#include "DocumentServer.h"
#include "WebTestSupport.h"
#include "web/CameraWindow.h"
#include "web/ChartWindow.h"
#include "web/WebWindowsServer.h"

#include <QMenu>
#include <QPointer>
#include <QScreen>

using namespace WebProtocol;

namespace {

QByteArray line(Command::Kind kind, const SourceHosts &hosts = {},
                const QList<ChartTarget> &targets = {})
{
    Command command;
    command.kind = kind;
    command.hosts = hosts;
    command.targets = targets;
    const QScreen *screen = QGuiApplication::primaryScreen();
    command.screen = {screen->name(), screen->geometry()};
    return Encode(command);
}

QByteArray told(Event::Kind kind, const char *name)
{
    Event event;
    event.kind = kind;
    event.name = QLatin1String(name);
    return Encode(event);
}

int windowsNamed(const char *name)
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->objectName() == QLatin1String(name) && widget->isVisible();
    return count;
}

} // namespace

class TestWebServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void saysItIsReady();
    void chartOpensOnceAndComesForward();
    void cameraIsModalAndToldClosed();
    void lastWindowClosedEndsIt();
    void savedHostsReachOpenWindows();
    void targetsFollowTheTicker();
    void linkOfANotSetPageAsksTheTicker();
    void byeClosesEverything();
    void tickerGoneClosesWithoutAWord();
    void otherLinesChangeNothing();
    void whereItsWindowsStandIsTold();

private:
    DocumentServer m_server;
    SourceHosts m_hosts;
    QList<QByteArray> m_sent;
    QList<QList<QRect>> m_frames; ///< every "frames" told
    std::unique_ptr<WebWindowsServer> m_web;
};

void TestWebServer::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    QVERIFY(m_server.start());
    for (int source = 1; source <= 9; ++source)
        m_hosts.insert(QStringLiteral("chart%1").arg(source), m_server.baseUrl().toString());
    for (int source = 1; source <= 6; ++source)
        m_hosts.insert(QStringLiteral("camera%1").arg(source), m_server.baseUrl().toString());
}

void TestWebServer::init()
{
    m_sent.clear();
    m_frames.clear();
    // Where the windows stand is told at each change, apart from the rest.
    m_web = std::make_unique<WebWindowsServer>([this](const QByteArray &l) {
        const Event event = ParseEvent(l);
        if (event.kind == Event::Frames)
            m_frames.append(event.frames);
        else
            m_sent.append(l);
    });
}

void TestWebServer::cleanup()
{
    m_web.reset(); // its windows with it
    QCOMPARE(windowsNamed("chart") + windowsNamed("camera"), 0);
}

void TestWebServer::saysItIsReady()
{
    m_web->start();
    QCOMPARE(m_sent.size(), 1);
    const Event ready = ParseEvent(m_sent.first());
    QCOMPARE(ready.kind, Event::Ready);
    QCOMPARE(ready.protocol, version);
}

void TestWebServer::chartOpensOnceAndComesForward()
{
    m_web->receive(line(Command::Chart, m_hosts));
    QPointer<ChartWindow> chart = m_web->chartWindow();
    QVERIFY(chart);
    QVERIFY(chart->isVisible());
    QVERIFY(!chart->isModal());
    QVERIFY(chart->windowTitle().startsWith(QStringLiteral(" 天気のツボ")));
    QCOMPARE(m_sent, QList<QByteArray>{told(Event::Open, chartWindow)});

    // "天気図" again: the same window, brought forward.
    chart->showMinimized();
    m_web->receive(line(Command::Chart, m_hosts));
    QCOMPARE(m_web->chartWindow(), chart.data());
    QVERIFY(!chart->isMinimized());
    QCOMPARE(windowsNamed("chart"), 1);
    QCOMPARE(m_sent.size(), 2);
    QCOMPARE(m_sent.last(), told(Event::Open, chartWindow));
}

void TestWebServer::cameraIsModalAndToldClosed()
{
    m_web->receive(line(Command::Camera, m_hosts));
    QPointer<CameraWindow> camera = m_web->cameraWindow();
    QVERIFY(camera);
    QVERIFY(camera->isVisible());
    QCOMPARE(camera->windowModality(), Qt::ApplicationModal);
    QCOMPARE(camera->windowTitle(), QStringLiteral("新千歳空港"));
    QTRY_VERIFY(m_server.requestCount(QStringLiteral("/cameraimg/shinchitose_L.jpg")) > 0);
    QSignalSpy finished(m_web.get(), &WebWindowsServer::finished);
    camera->close();
    QTRY_VERIFY(camera.isNull());
    QCOMPARE(m_sent.last(), told(Event::Closed, cameraWindow));
    QCOMPARE(finished.count(), 1); // it was the only window
}

void TestWebServer::lastWindowClosedEndsIt()
{
    m_web->receive(line(Command::Chart, m_hosts));
    m_web->receive(line(Command::Camera, m_hosts));
    QPointer<ChartWindow> chart = m_web->chartWindow();
    QPointer<CameraWindow> camera = m_web->cameraWindow();
    QSignalSpy finished(m_web.get(), &WebWindowsServer::finished);
    camera->close();
    QTRY_VERIFY(camera.isNull());
    QCOMPARE(finished.count(), 0); // the chart is still open
    chart->close();
    QTRY_VERIFY(chart.isNull());
    QCOMPARE(m_sent.last(), told(Event::Closed, chartWindow));
    QCOMPARE(finished.count(), 1);
    // Closing, it takes no new window: the ticker starts a new process for that.
    m_web->receive(line(Command::Chart, m_hosts));
    QVERIFY(!m_web->chartWindow());
}

void TestWebServer::savedHostsReachOpenWindows()
{
    m_web->receive(line(Command::Chart, m_hosts));
    m_web->receive(line(Command::Camera, m_hosts));
    const QString image = QStringLiteral("/cameraimg/shinchitose_L.jpg");
    QTRY_VERIFY(m_server.requestCount(image) > 0);
    SourceHosts moved;
    for (auto host = m_hosts.cbegin(); host != m_hosts.cend(); ++host)
        moved.insert(host.key(), host.value() + QStringLiteral("/moved"));
    m_web->receive(line(Command::Hosts, moved));
    QTRY_COMPARE(m_server.requestCount(QStringLiteral("/moved") + image), 1);
    const auto chartMoved = [&] {
        const QStringList requests = m_server.requests();
        return std::any_of(requests.begin(), requests.end(), [](const QString &path) {
            return path.startsWith(QLatin1String("/moved/imagedata/tubo/"));
        });
    };
    QTRY_VERIFY(chartMoved());
}

void TestWebServer::targetsFollowTheTicker()
{
    const auto airports = [this] {
        QStringList listed;
        for (QAction *action : m_web->chartWindow()->menu_jma()->actions()) {
            if (action->objectName() == QLatin1String("menu_jma_taf"))
                listed.append(action->text());
        }
        return listed;
    };
    const ChartTarget haneda{QStringLiteral("RJTT"), QStringLiteral("東京(羽田)")};
    const ChartTarget kansai{QStringLiteral("RJBB"), QStringLiteral("関西")};
    m_web->receive(line(Command::Chart, m_hosts, {kansai, haneda}));
    QCOMPARE(airports(), (QStringList{QStringLiteral("飛行場時系列予報 関西 (RJBB)"),
                                      QStringLiteral("飛行場時系列予報 東京(羽田) (RJTT)")}));
    // "天気図" again while another airport is shown: the list keeps its order, the shown one
    // has an entry of its own above it.
    ChartTarget shown = haneda;
    shown.shown = true;
    m_web->receive(line(Command::Chart, m_hosts, {kansai, shown}));
    QCOMPARE(airports(), (QStringList{QStringLiteral("飛行場時系列予報 関西 (RJBB)"),
                                      QStringLiteral("飛行場時系列予報 東京(羽田) (RJTT)")}));
    const auto *above = m_web->chartWindow()->menu_jma()->findChild<QAction *>(
        QStringLiteral("menu_jma_taf_shown"));
    QVERIFY(above);
    QCOMPARE(above->text(), QStringLiteral("飛行場時系列予報 東京(羽田) (RJTT) (表示中)"));
    // A target list saved in "設定" reaches the open window.
    Command saved;
    saved.kind = Command::Targets;
    saved.targets = {{QStringLiteral("ROAH"), QStringLiteral("那覇")}};
    m_web->receive(Encode(saved));
    QCOMPARE(airports(), QStringList{QStringLiteral("飛行場時系列予報 那覇 (ROAH)")});
    QCOMPARE(windowsNamed("chart"), 1);
}

void TestWebServer::linkOfANotSetPageAsksTheTicker()
{
    SourceHosts hosts = m_hosts;
    hosts.remove(QStringLiteral("camera1"));
    m_web->receive(line(Command::Camera, hosts));
    CameraWindow *camera = m_web->cameraWindow();
    const QString text = WaitForPageText(camera->browser(), QStringLiteral("camera1"));
    QVERIFY2(text.contains(QStringLiteral("接続先を設定...")), qPrintable(text));
    camera->browser()->setUrl(SourceLinkUrl(QStringLiteral("camera1")));
    QTRY_COMPARE(m_sent.last(), told(Event::Edit, "camera1"));
    // The ticker's save comes back as every address.
    m_web->receive(line(Command::Hosts, m_hosts));
    QTRY_VERIFY(m_server.requestCount(QStringLiteral("/cameraimg/shinchitose_L.jpg")) > 0);
}

void TestWebServer::byeClosesEverything()
{
    m_web->receive(line(Command::Chart, m_hosts));
    m_web->receive(line(Command::Camera, m_hosts));
    QSignalSpy finished(m_web.get(), &WebWindowsServer::finished);
    m_web->receive(line(Command::Bye));
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!m_web->chartWindow() && !m_web->cameraWindow());
}

void TestWebServer::tickerGoneClosesWithoutAWord()
{
    m_web->receive(line(Command::Chart, m_hosts));
    const qsizetype before = m_sent.size();
    QSignalSpy finished(m_web.get(), &WebWindowsServer::finished);
    m_web->tickerGone();
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!m_web->chartWindow());
    // Its output goes nowhere now.
    QCOMPARE(m_sent.size(), before);
}

void TestWebServer::otherLinesChangeNothing()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not understood")));
    m_web->receive("{\"do\":\"print\"}\n");
    QVERIFY(m_sent.isEmpty());
    QVERIFY(!m_web->chartWindow() && !m_web->cameraWindow());
}

void TestWebServer::whereItsWindowsStandIsTold()
{
    // The ticker, above every window in a Wayland session, stands aside from these.
    m_web->receive(line(Command::Camera, m_hosts));
    QPointer<CameraWindow> camera = m_web->cameraWindow();
    QVERIFY(QTest::qWaitForWindowExposed(camera));
    QTRY_VERIFY(!m_frames.isEmpty() && m_frames.last() == QList<QRect>{camera->frameGeometry()});
    // Moved: told again.
    camera->move(camera->pos() + QPoint(30, 20));
    QTRY_VERIFY(m_frames.last() == QList<QRect>{camera->frameGeometry()});
    camera->close();
    QTRY_VERIFY(camera.isNull());
    QTRY_VERIFY(m_frames.last().isEmpty());
}

TARNBECK_WEB_TEST_MAIN(TestWebServer)
#include "test_webserver.moc"
