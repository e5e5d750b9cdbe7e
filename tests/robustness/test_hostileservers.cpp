// Report servers that misbehave: the build must end within its timeout with the fixed message,
// the event loop must keep running meanwhile, and nothing may grow with the response.
#include "HostileServer.h"
#include "RobustnessSupport.h"
#include "report/ReportBuilder.h"
#include "store/SettingsStore.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestDatabase.h"
#include "support/TickerFixture.h"
#include "ticker/TickerLabel.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString metarPath = QStringLiteral("/data/observations/metar/stations/RJTT.TXT");
const QString missing = QStringLiteral("RJTT METAR \r      NO OBSERVATION");
constexpr int timeoutMs = 2000;
// Slack over the timeout for the abort to travel through the event loop (sanitizer builds).
constexpr int slackMs = 1500;

/// What one build gave, and how the event loop fared while it ran.
struct Outcome
{
    QString text;
    qint64 elapsedMs = -1;
    qint64 longestStallMs = -1;
};

} // namespace

class TestHostileServers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void silentServers_data();
    void silentServers();
    void dripEndsAtTheTimeout();
    void floodIsCutAtTheCap();
    void resetMidBodyShowsNoPartialReport();
    void oddBytesAreNoStationFile_data();
    void oddBytesAreNoStationFile();
    void slowFirstServerLeavesTimeToTheSecond_data();
    void slowFirstServerLeavesTimeToTheSecond();
    void redirectLoopEnds();
    void tickerShowsMarkupAsText();
    void tickerStaysResponsiveWhileDripping();

private:
    /// Builds RJTT's text with `host` as the report server and `second` as the second source
    /// (none when empty).
    Outcome build(const QUrl &host, const QUrl &second = {});

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ReportBuilder> m_builder;
};

void TestHostileServers::init()
{
    m_db = std::make_unique<TestDatabase>();
    QVERIFY(m_db->isValid());
    QVERIFY(m_db->execute(
        QStringLiteral("UPDATE setting SET getTAF = 0, getSUNSET = 0, uselocal = 0")));
    m_store = std::make_unique<SettingsStore>(m_db->directory());
    QVERIFY(m_store->OpenSettings());
    m_builder = std::make_unique<ReportBuilder>(*m_store);
    m_builder->setTimeout(timeoutMs);
}

void TestHostileServers::cleanup()
{
    m_builder.reset();
    m_store.reset();
    m_db.reset();
}

Outcome TestHostileServers::build(const QUrl &host, const QUrl &second)
{
    Outcome outcome;
    m_builder->setReportHost(host.toString());
    m_builder->setFallbackHost(second.toString());
    QSignalSpy done(m_builder.get(), &ReportBuilder::finished);
    // A fast timer stands for the ticker's other events: its gaps show a blocked loop.
    QElapsedTimer clock;
    qint64 lastTick = 0;
    QTimer heartbeat;
    heartbeat.setInterval(20);
    connect(&heartbeat, &QTimer::timeout, this, [&] {
        outcome.longestStallMs = qMax(outcome.longestStallMs, clock.elapsed() - lastTick);
        lastTick = clock.elapsed();
    });
    clock.start();
    heartbeat.start();
    if (!m_builder->BuildReportText(QStringLiteral("RJTT")))
        return outcome;
    if (!QTest::qWaitFor([&] { return !done.isEmpty(); }, timeoutMs + slackMs + 30000))
        return outcome;
    outcome.elapsedMs = clock.elapsed();
    outcome.text = done.first().at(1).toString();
    return outcome;
}

void TestHostileServers::silentServers_data()
{
    using B = LoopbackHttpServer::Behaviour;
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("behaviour");
    QTest::newRow("accepts and never answers") << 200 << QByteArray() << int(B::NeverAnswer);
    QTest::newRow("closes at once") << 200 << QByteArray() << int(B::CloseAtOnce);
    // As decided: a failed status shows the fixed text even when the body looks right.
    QTest::newRow("500 with a station-file body")
        << 500 << QByteArray("2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030\n")
        << int(B::Respond);
    QTest::newRow("HTML page") << 200 << QByteArray("<html><body>maintenance</body></html>")
                               << int(B::Respond);
}

void TestHostileServers::silentServers()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, behaviour);
    LoopbackHttpServer server;
    QVERIFY(server.start());
    server.setRoute(metarPath, {status, body, LoopbackHttpServer::Behaviour(behaviour), {}});
    const Outcome got = build(server.baseUrl());
    QCOMPARE(got.text, missing);
    QVERIFY2(got.elapsedMs <= timeoutMs + slackMs, qPrintable(QString::number(got.elapsedMs)));
    QVERIFY2(got.longestStallMs < 500, qPrintable(QString::number(got.longestStallMs)));
}

void TestHostileServers::dripEndsAtTheTimeout()
{
    // One byte a second never lets an idle-transfer timer expire; the whole fetch must still end.
    HostileServer server;
    QVERIFY(server.start());
    server.setMode(HostileServer::Mode::Drip);
    server.setLength(10000);
    server.setIntervalMs(500);
    const Outcome got = build(server.baseUrl());
    QCOMPARE(got.text, missing);
    QVERIFY2(got.elapsedMs >= timeoutMs - 100 && got.elapsedMs <= timeoutMs + slackMs,
             qPrintable(QString::number(got.elapsedMs)));
    QVERIFY2(got.longestStallMs < 500, qPrintable(QString::number(got.longestStallMs)));
    QVERIFY(server.bodyBytesSent() > 0); // the drip really ran
}

void TestHostileServers::floodIsCutAtTheCap()
{
    HostileServer server;
    QVERIFY(server.start());
    server.setMode(HostileServer::Mode::Flood);
    server.setLength(100LL * 1024 * 1024);
    // A first small build settles the allocator, so the figure below is the flood's alone.
    build(server.baseUrl());
    const qint64 before = residentKiB();
    const Outcome got = build(server.baseUrl());
    const qint64 grown = residentKiB() - before;
    QCOMPARE(got.text, missing);
    QVERIFY2(got.elapsedMs <= timeoutMs + slackMs, qPrintable(QString::number(got.elapsedMs)));
    // The client stopped reading soon after the 64 KiB cap: at most socket buffers beyond it.
    QVERIFY2(server.bodyBytesSent() < 2 * 16LL * 1024 * 1024,
             qPrintable(QString::number(server.bodyBytesSent())));
    QVERIFY2(grown < 16 * 1024, qPrintable(QStringLiteral("grew %1 KiB").arg(grown)));
}

void TestHostileServers::resetMidBodyShowsNoPartialReport()
{
    // Half a station file and then a reset: never shown as if it were the whole report.
    const QByteArray file(
        "2024/01/15 12:30\nRJTT 151230Z 34008KT 9999 FEW030 BKN045 08/M02 Q1021 NOSIG\n");
    HostileServer server;
    QVERIFY(server.start());
    server.setMode(HostileServer::Mode::ResetMidBody);
    server.setRaw(file);
    server.setLength(file.size());
    const Outcome got = build(server.baseUrl());
    QCOMPARE(got.text, missing);
    QVERIFY2(got.elapsedMs <= timeoutMs + slackMs, qPrintable(QString::number(got.elapsedMs)));
    QVERIFY(server.requestCount() >= 1);
}

void TestHostileServers::oddBytesAreNoStationFile_data()
{
    QTest::addColumn<QByteArray>("body");
    QByteArray garbage(4096, Qt::Uninitialized);
    QRandomGenerator rng(20240115);
    for (char &c : garbage)
        c = char(rng.bounded(256));
    garbage[0] = 'G'; // not "<": not taken for a page
    garbage[100] = '\0';
    QTest::newRow("binary garbage with NUL bytes") << garbage;
    QTest::newRow("garbage after a good start") << QByteArray("2024/01/15 12:30\nRJTT ") + garbage;
    QTest::newRow("invalid UTF-8")
        << QByteArray("2024/01/15 12:30\nRJTT 151230Z \xff\xfe\xc3\x28 \xed\xa0\x80 9999\n");
    QTest::newRow("body over the cap by one byte")
        << (QByteArray("2024/01/15 12:30\nRJTT ") + QByteArray(64 * 1024, 'Q'));
}

void TestHostileServers::oddBytesAreNoStationFile()
{
    QFETCH(QByteArray, body);
    HostileServer server;
    QVERIFY(server.start());
    server.setRaw("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                  "\r\n\r\n" + body);
    // Without a second source the fixed text, never the bytes.
    Outcome got = build(server.baseUrl());
    QCOMPARE(got.text, missing);
    QVERIFY2(got.elapsedMs <= timeoutMs + slackMs, qPrintable(QString::number(got.elapsedMs)));

    // With one, its report.
    LoopbackHttpServer second;
    QVERIFY(second.start());
    second.setRoute(QStringLiteral("/api/data/metar?ids=RJTT&format=raw"),
                    {200, "METAR RJTT 151230Z 34008KT 9999 FEW030\n", {}, {}});
    got = build(server.baseUrl(), second.baseUrl());
    QCOMPARE(got.text, QStringLiteral("RJTT METAR 1230Z\r 151230Z 34008KT 9999 FEW030      "));
}

void TestHostileServers::slowFirstServerLeavesTimeToTheSecond_data()
{
    QTest::addColumn<bool>("drip"); // else a server that accepts and never answers
    QTest::newRow("never answers") << false;
    QTest::newRow("a byte now and then") << true;
}

void TestHostileServers::slowFirstServerLeavesTimeToTheSecond()
{
    // The first server's budget ends its wait, however it stalls; the second source answers
    // within what is left of the deadline.
    QFETCH(bool, drip);
    constexpr int firstBudgetMs = 500;
    HostileServer dripping;
    LoopbackHttpServer silent;
    QVERIFY(dripping.start() && silent.start());
    dripping.setMode(HostileServer::Mode::Drip);
    dripping.setLength(5000);
    dripping.setIntervalMs(100);
    silent.setRoute(metarPath, {200, {}, LoopbackHttpServer::Behaviour::NeverAnswer, {}});
    LoopbackHttpServer second;
    QVERIFY(second.start());
    second.setRoute(QStringLiteral("/api/data/metar?ids=RJTT&format=raw"),
                    {200, "METAR RJTT 151230Z 34008KT 9999 FEW030\n", {}, {}});
    m_builder->setFirstBudget(firstBudgetMs);
    const Outcome got = build(drip ? dripping.baseUrl() : silent.baseUrl(), second.baseUrl());
    QCOMPARE(got.text, QStringLiteral("RJTT METAR 1230Z\r 151230Z 34008KT 9999 FEW030      "));
    QVERIFY2(got.elapsedMs >= firstBudgetMs * 9 / 10 && got.elapsedMs < timeoutMs,
             qPrintable(QString::number(got.elapsedMs)));
    QVERIFY2(got.longestStallMs < 500, qPrintable(QString::number(got.longestStallMs)));
}

void TestHostileServers::redirectLoopEnds()
{
    LoopbackHttpServer server;
    QVERIFY(server.start());
    server.setRoute(metarPath, {302, {}, {}, metarPath.toLatin1()});
    const Outcome got = build(server.baseUrl());
    QCOMPARE(got.text, missing);
    QVERIFY2(got.elapsedMs <= timeoutMs + slackMs, qPrintable(QString::number(got.elapsedMs)));
    QVERIFY(server.requests().size() > 1);
    QVERIFY(server.requests().size() <= 60);
}

void TestHostileServers::tickerShowsMarkupAsText()
{
    TickerFixture fixture;
    QVERIFY(fixture.setTargets({{QStringLiteral("RJTT"), true}}));
    QVERIFY(fixture.db().execute(QStringLiteral("UPDATE setting SET autochange = 0")));
    fixture.serveMetar(QStringLiteral("RJTT"),
                       QStringLiteral("151230Z <b>9999</b> <img src=x> &amp; <script>1</script>"));
    TickerSession *ticker = fixture.load();
    QVERIFY(ticker);
    QVERIFY(fixture.refreshNow());
    TickerLabel *display = ticker->window().lbl(TickerView::Display);
    QTRY_VERIFY(display->caption().contains(QStringLiteral("<b>9999</b> <img src=x> &amp;")));
    QCOMPARE(display->textFormat(), Qt::PlainText);
    QVERIFY(display->text().contains(QStringLiteral("<script>1</script>")));
}

void TestHostileServers::tickerStaysResponsiveWhileDripping()
{
    TickerFixture fixture;
    QVERIFY(fixture.setTargets({{QStringLiteral("RJTT"), true}}));
    QVERIFY(fixture.db().execute(QStringLiteral("UPDATE setting SET autochange = 0")));
    TickerSession *ticker = fixture.load();
    QVERIFY(ticker);
    HostileServer dripping;
    QVERIFY(dripping.start());
    dripping.setMode(HostileServer::Mode::Drip);
    dripping.setLength(5000);
    dripping.setIntervalMs(1000);
    ticker->reportBuilder().setReportHost(dripping.baseUrl().toString());
    ticker->reportBuilder().setTimeout(timeoutMs);

    QElapsedTimer clock;
    clock.start();
    ticker->cycle().setSlideCount(qint16(ticker->cycle().slidePeriod() - 1));
    ticker->cycle().RefreshReport();
    QVERIFY(ticker->reportBuilder().isBuilding());
    // The pointer still works while the body drips in: the handle follows it at once.
    QTRY_VERIFY(dripping.bodyBytesSent() > 0);
    QVERIFY(ticker->reportBuilder().isBuilding());
    ticker->window().setPointerOnHandle(true);
    ticker->window().ShowHandleState();
    QCOMPARE(ticker->window().lbl(TickerView::Handle)->caption(),
             QString::fromUtf8(TickerView::handleFilled));
    QTRY_VERIFY_WITH_TIMEOUT(ticker->window()
                                 .lbl(TickerView::Display)
                                 ->caption()
                                 .contains(QStringLiteral("NO OBSERVATION")),
                             timeoutMs + slackMs);
    QVERIFY2(clock.elapsed() <= timeoutMs + slackMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!ticker->reportBuilder().isBuilding());
}

QTEST_MAIN(TestHostileServers)
#include "test_hostileservers.moc"
