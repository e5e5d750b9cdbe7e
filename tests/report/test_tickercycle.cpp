// The ticker's cycle without a window, its clocks driven by hand, its servers on loopback.
#include "report/ReportBuilder.h"
#include "report/TickerCycle.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestDatabase.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

/// Clocks that tick only when the test says so.
class ManualClock final : public CycleClock
{
public:
    void start(Timer timer, int intervalMs) override
    {
        m_active[timer] = true;
        m_interval[timer] = intervalMs;
    }
    void stop(Timer timer) override { m_active[timer] = false; }
    bool isActive(Timer timer) const override { return m_active[timer]; }
    int interval(Timer timer) const override { return m_interval[timer]; }
    /// One tick, when the timer runs.
    void tick(Timer timer)
    {
        if (m_active[timer] && fired)
            fired(timer);
    }

private:
    std::array<bool, 2> m_active{};
    std::array<int, 2> m_interval{};
};

} // namespace

class TestTickerCycle : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rotation_data();
    void rotation();
    void networkLossAndReturn();
    void noTargetStopsTheClock();
    void worseReportTold_data();
    void worseReportTold();

private:
    /// The target list from "CODE[*] ...", "*" marking a checked one.
    void setTargets(const QString &targets);
    /// The store, builder and cycle over the test's database and server.
    void makeCycle();
    /// Ticks through a network check and a counting period; the text of the refresh.
    QString nextReport();

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ReportBuilder> m_builder;
    ManualClock m_clock;
    std::unique_ptr<TickerCycle> m_cycle;
};

void TestTickerCycle::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(m_server->start());
    m_server->setRoute(QStringLiteral("/ident.dat"), {200, "ok\n", {}, {}});
    for (const char *code : {"RJTT", "RJAA", "RJBB"})
        m_server->setRoute(
            QStringLiteral("/data/observations/metar/stations/%1.TXT").arg(QLatin1String(code)),
            {200, QByteArray("2024/01/15 12:30\n") + code + " 151230Z 34008KT 9999\n", {}, {}});
    QVERIFY(m_db->execute(QStringLiteral("UPDATE setting SET getTAF = 0, getSUNSET = 0, "
                                         "autochangerate = '10'")));
}

void TestTickerCycle::cleanup()
{
    m_cycle.reset();
    m_builder.reset();
    m_store.reset();
    m_server.reset();
    m_db.reset();
}

void TestTickerCycle::setTargets(const QString &targets)
{
    QVERIFY(m_db->execute(QStringLiteral("DELETE FROM airport")));
    int number = 0;
    for (const QString &target : targets.split(QLatin1Char(' '))) {
        QVERIFY(m_db->execute(
            QStringLiteral("INSERT INTO airport (number, airport, \"check\") VALUES (%1, '%2', %3)")
                .arg(++number)
                .arg(target.left(4))
                .arg(target.endsWith(QLatin1Char('*')) ? -1 : 0)));
    }
}

void TestTickerCycle::makeCycle()
{
    m_store = std::make_unique<SettingsStore>(m_db->directory());
    QVERIFY(m_store->OpenSettings());
    m_builder = std::make_unique<ReportBuilder>(*m_store);
    m_builder->setReportHost(m_server->baseUrl().toString());
    m_builder->setFallbackHost(QString());
    m_cycle = std::make_unique<TickerCycle>(*m_store, *m_builder, m_clock);
    m_cycle->setHomePage(m_server->baseUrl().toString());
}

QString TestTickerCycle::nextReport()
{
    QSignalSpy shown(m_cycle.get(), &TickerCycle::showReport);
    if (!QTest::qWaitFor(
            [&] {
                m_clock.tick(CycleClock::NetworkCheck);
                return m_clock.isActive(CycleClock::RefreshClock);
            },
            5000))
        return QStringLiteral("<no network>");
    for (int tick = 0; tick < 100 && shown.isEmpty(); ++tick)
        m_clock.tick(CycleClock::RefreshClock);
    if (shown.isEmpty() && !shown.wait(5000))
        return QStringLiteral("<nothing shown>");
    return shown.first().first().toString().left(4);
}

void TestTickerCycle::rotation_data()
{
    QTest::addColumn<QString>("targets"); // code and mark, "*" when checked
    QTest::addColumn<bool>("sliding");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("skips unchecked, wraps")
        << "RJTT* RJAA RJBB*" << true << QStringList{"RJTT", "RJBB", "RJTT", "RJBB"};
    QTest::newRow("first shown though unchecked")
        << "RJTT RJAA* RJBB*" << true << QStringList{"RJTT", "RJAA", "RJBB", "RJAA"};
    QTest::newRow("nothing checked: stays")
        << "RJTT RJAA" << true << QStringList{"RJTT", "RJTT", "RJTT"};
    QTest::newRow("sliding off: stays")
        << "RJTT* RJAA*" << false << QStringList{"RJTT", "RJTT", "RJTT"};
}

void TestTickerCycle::rotation()
{
    QFETCH(QString, targets);
    QFETCH(bool, sliding);
    QFETCH(QStringList, shown);
    setTargets(targets);
    QVERIFY(m_db->execute(
        QStringLiteral("UPDATE setting SET scroll = 0, autochange = %1").arg(sliding ? -1 : 0)));
    makeCycle();
    m_cycle->start();

    QStringList seen;
    for (qsizetype i = 0; i < shown.size(); ++i)
        seen.append(nextReport());
    QCOMPARE(seen, shown);
    QCOMPARE(m_cycle->slidePeriod(), qint16(sliding ? 10 : 60));
}

void TestTickerCycle::networkLossAndReturn()
{
    makeCycle();
    QSignalSpy messages(m_cycle.get(), &TickerCycle::showMessage);
    QSignalSpy network(m_cycle.get(), &TickerCycle::networkChanged);

    m_server->setRoute(QStringLiteral("/ident.dat"), {200, {}, {}, {}}); // an empty answer
    m_cycle->start();
    m_clock.tick(CycleClock::NetworkCheck);
    QTRY_COMPARE(network.size(), 1);
    QCOMPARE(network.first().first().toBool(), false);
    QCOMPARE(messages.last().first().toString(), QStringLiteral("NO NETWORK CONNECTION"));
    // Checked again every five seconds; no counting meanwhile.
    QVERIFY(m_clock.isActive(CycleClock::NetworkCheck));
    QCOMPARE(m_clock.interval(CycleClock::NetworkCheck), 5000);
    QVERIFY(!m_clock.isActive(CycleClock::RefreshClock));

    m_server->setRoute(QStringLiteral("/ident.dat"), {404, "<html>gone</html>", {}, {}});
    QCOMPARE(nextReport(), QStringLiteral("RJTT")); // any answer with a body will do
    QCOMPARE(network.last().first().toBool(), true);
    QCOMPARE(m_cycle->checkInterval(), 1);
}

void TestTickerCycle::noTargetStopsTheClock()
{
    QVERIFY(m_db->execute(QStringLiteral("DELETE FROM airport")));
    makeCycle();
    QSignalSpy messages(m_cycle.get(), &TickerCycle::showMessage);
    m_cycle->start();
    m_clock.tick(CycleClock::NetworkCheck);
    QTRY_VERIFY(m_clock.isActive(CycleClock::RefreshClock));
    m_clock.tick(CycleClock::RefreshClock);
    QCOMPARE(messages.last().first().toString(), QStringLiteral("NO TARGET AIRPORT"));
    QVERIFY(!m_clock.isActive(CycleClock::RefreshClock));
    QVERIFY(!m_clock.isActive(CycleClock::NetworkCheck)); // until something restarts it
}

void TestTickerCycle::worseReportTold_data()
{
    QTest::addColumn<QString>("targets"); // as in rotation; RJTT is shown throughout
    QTest::addColumn<int>("told");
    QTest::newRow("checked target") << "RJTT*" << 1;
    QTest::newRow("unchecked target") << "RJTT RJAA*" << 0;
}

void TestTickerCycle::worseReportTold()
{
    QFETCH(QString, targets);
    QFETCH(int, told);
    setTargets(targets);
    QVERIFY(m_db->execute(QStringLiteral("UPDATE setting SET scroll = 0, autochange = 0")));
    makeCycle();
    QSignalSpy worse(m_cycle.get(), &TickerCycle::worsened);
    const auto serve = [this](const char *time, const char *groups) {
        m_server->setRoute(
            QStringLiteral("/data/observations/metar/stations/RJTT.TXT"),
            {200, QByteArray("2024/01/15 12:30\nRJTT 15") + time + "Z " + groups + "\n", {}, {}});
    };
    const char *vfr = "34008KT 9999 FEW030 08/M02 Q1021";
    const char *ifr = "34008KT 2000 BR OVC008 08/M02 Q1021";
    m_cycle->start();
    // Off: a worse report is watched but not told; turned on, only a newer worse one is.
    serve("1230", vfr);
    QCOMPARE(nextReport(), QStringLiteral("RJTT"));
    serve("1300", ifr);
    QCOMPARE(nextReport(), QStringLiteral("RJTT"));
    DisplayOptions options;
    options.notifyWorse = true;
    QVERIFY(SaveDisplayOptions(*m_store, options));
    QCOMPARE(nextReport(), QStringLiteral("RJTT"));
    QCOMPARE(worse.count(), 0);
    serve("1330", vfr);
    QCOMPARE(nextReport(), QStringLiteral("RJTT"));
    serve("1400", ifr);
    QCOMPARE(nextReport(), QStringLiteral("RJTT"));
    QCOMPARE(worse.count(), told);
    if (told) {
        QCOMPARE(worse.first().at(0).toString(), QStringLiteral("RJTT VFR → IFR"));
        QVERIFY(worse.first().at(1).toString().contains(QLatin1String(ifr)));
    }
}

QTEST_GUILESS_MAIN(TestTickerCycle)
#include "test_tickercycle.moc"
