// Notices of worse flight categories, as a notification server on a private bus receives them.
#include "platform/DesktopNotice.h"
#include "report/CategoryWatch.h"
#include "report/StationReport.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
}

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList received; // "summary | body", after "bad call: " when another argument is wrong

public slots:
    Q_SCRIPTABLE uint Notify(const QString &app, uint replacesId, const QString &icon,
                             const QString &summary, const QString &body,
                             const QStringList &actions, const QVariantMap &, int timeout)
    {
        const bool right = app == QLatin1String("Tarnbeck") && replacesId == 0 &&
                           icon == QLatin1String("tarnbeck") && actions.isEmpty() && timeout == -1;
        received << (right ? QString() : QStringLiteral("bad call: ")) + summary +
                        QStringLiteral(" | ") + body;
        return uint(received.size());
    }
};

class TestDesktopNotice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void notices_data();
    void notices();
    void withoutService();
    void cleanupTestCase();

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    FakeNotifications m_server;
};

void TestDesktopNotice::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed");
    // No service directories: nothing on this bus is started on demand.
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                                "<policy context=\"default\"><allow send_destination=\"*\"/>"
                                "<allow receive_sender=\"*\"/>"
                                "<allow own=\"*\"/></policy></busconfig>")
                     .arg(m_dir.path())
                     .toUtf8());
    config.close();
    m_daemon.start(daemon, {QStringLiteral("--config-file=") + config.fileName(),
                            QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    QTRY_VERIFY(m_daemon.canReadLine());
    const QString address = QString::fromUtf8(m_daemon.readLine().trimmed());
    QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("server"));
    QVERIFY(QDBusConnection::connectToBus(address, QStringLiteral("sender")).isConnected());
    QVERIFY(server.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &m_server,
                                  QDBusConnection::ExportScriptableSlots));
    QVERIFY(server.registerService(service));
}

void TestDesktopNotice::notices_data()
{
    QTest::addColumn<QStringList>("steps"); // "airport|report", a report "SPECI ..." a SPECI
    QTest::addColumn<QStringList>("sent");

    const QString vfr = QStringLiteral("RJTT|RJTT 071200Z 34008KT 9999 FEW030 08/M02 Q1021");
    const QString mvfr = QStringLiteral("RJTT|RJTT 071230Z 34010KT 9999 BKN025 08/03 Q1019");
    const QString ifr = QStringLiteral("RJTT|RJTT 071300Z 34012KT 2000 BR OVC008 07/06 Q1018");
    const QString failed = QStringLiteral("RJTT|") + QLatin1String(noObservation);
    const QString speciVfr = QStringLiteral("RJTT|SPECI RJTT 071315Z 36015KT 9999 FEW020 Q1018");
    const QString vfrToIfr = QStringLiteral("RJTT VFR → IFR | ") + ifr.mid(5);
    QTest::newRow("first sighting") << QStringList{ifr} << QStringList{};
    QTest::newRow("worse, then refetched") << QStringList{vfr, ifr, ifr} << QStringList{vfrToIfr};
    QTest::newRow("better") << QStringList{ifr, mvfr, vfr} << QStringList{};
    QTest::newRow("worse than the last, not the first")
        << QStringList{vfr, mvfr, ifr}
        << QStringList{QStringLiteral("RJTT VFR → MVFR | ") + mvfr.mid(5),
                       QStringLiteral("RJTT MVFR → IFR | ") + ifr.mid(5)};
    QTest::newRow("failed fetch between")
        << QStringList{vfr, failed, ifr, failed, ifr} << QStringList{vfrToIfr};
    const QString speciSent = QStringLiteral("RJTT SPECI VFR | ") + speciVfr.mid(11);
    QTest::newRow("SPECI refetched with other blanks")
        << QStringList{mvfr, speciVfr,
                       QStringLiteral("RJTT|SPECI  ") + speciVfr.mid(11).replace(' ', "  ") + '\n'}
        << QStringList{speciSent};
    QTest::newRow("SPECI, failed fetch between")
        << QStringList{mvfr, speciVfr, failed, speciVfr} << QStringList{speciSent};
    QTest::newRow("SPECI of no known category")
        << QStringList{vfr, QStringLiteral("RJTT|SPECI RJTT 071320Z 36015KT ////")}
        << QStringList{QStringLiteral("RJTT SPECI | RJTT 071320Z 36015KT ////")};
    QTest::newRow("airports apart")
        << QStringList{vfr, QStringLiteral("RJAA|RJAA 071300Z 36005KT 1200 FG VV002"), ifr}
        << QStringList{vfrToIfr};
}

void TestDesktopNotice::notices()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, sent);
    m_server.received.clear();
    CategoryWatch watch;
    DesktopNotice notice(QDBusConnection(QStringLiteral("sender")));
    for (const QString &step : steps) {
        QString report = step.section(QLatin1Char('|'), 1);
        const bool speci = report.startsWith(QLatin1String("SPECI "));
        if (speci)
            report.remove(0, 6);
        if (const auto due = watch.observe(step.section(QLatin1Char('|'), 0, 0), report, speci))
            notice.send(due->title, due->body);
    }
    // Calls arrive in order: once this one is in, every earlier one is.
    notice.send(QStringLiteral("end"), {});
    QTRY_VERIFY(!m_server.received.isEmpty() && m_server.received.last().endsWith("end | "));
    m_server.received.removeLast();
    QCOMPARE(m_server.received, sent);
}

void TestDesktopNotice::withoutService()
{
    QDBusConnection server(QStringLiteral("server"));
    QVERIFY(server.unregisterService(service));
    QDBusConnection sender(QStringLiteral("sender"));
    int logged = 0;
    static int *count = nullptr;
    count = &logged;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
            *count += type == QtInfoMsg;
        });
    DesktopNotice notice(sender);
    notice.send(QStringLiteral("RJTT VFR → IFR"), QStringLiteral("RJTT 071300Z"));
    notice.send(QStringLiteral("RJTT SPECI"), QStringLiteral("RJTT 071315Z"));
    DesktopNotice(QDBusConnection(QStringLiteral("no bus"))).send(QStringLiteral("x"), {});
    // Its answer comes after those of the notices.
    QDBusPendingCallWatcher ping(sender.interface()->asyncCall(QStringLiteral("GetId")));
    QSignalSpy answered(&ping, &QDBusPendingCallWatcher::finished);
    QVERIFY(answered.wait());
    qInstallMessageHandler(previous);
    QCOMPARE(logged, 1);
    QVERIFY(server.registerService(service));
}

void TestDesktopNotice::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("sender"));
    QDBusConnection::disconnectFromBus(QStringLiteral("server"));
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

QTEST_GUILESS_MAIN(TestDesktopNotice)
#include "test_desktopnotice.moc"
