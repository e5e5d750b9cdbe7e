// The real tarnbeck binary on an X display, checked from outside with xdotool and a screenshot.
#include "platform/SqlDatabase.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestDatabase.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

namespace {

/// Runs a helper program and returns its standard output (empty on failure).
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

struct WindowGeometry
{
    QString id;
    QRect rect;
};

/// The visible top-level windows whose name matches `name`.
QList<WindowGeometry> windowsNamed(const QString &name)
{
    QList<WindowGeometry> found;
    const QStringList ids =
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--name"), name})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        const QString shell = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                              QStringLiteral("--shell"), id});
        QHash<QString, int> v;
        for (const QString &line : shell.split(QLatin1Char('\n'))) {
            const QStringList kv = line.split(QLatin1Char('='));
            if (kv.size() == 2)
                v.insert(kv[0], kv[1].toInt());
        }
        found.append(
            {id, QRect(v.value(QStringLiteral("X")), v.value(QStringLiteral("Y")),
                       v.value(QStringLiteral("WIDTH")), v.value(QStringLiteral("HEIGHT")))});
    }
    return found;
}

} // namespace

class TestTickerBinary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstRunAtTheCentreAndSecondStartRefused();

private:
    QTemporaryDir m_app;
};

void TestTickerBinary::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    for (const char *tool : {"xdotool", "xsetroot", "import"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP("a display tool is missing");
    }
    // The program keeps its database beside itself: give it a directory of its own.
    QVERIFY(
        QFile::copy(QStringLiteral(TARNBECK_BINARY), m_app.filePath(QStringLiteral("tarnbeck"))));
    QVERIFY(QFile::setPermissions(m_app.filePath(QStringLiteral("tarnbeck")),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(QFile::copy(QStringLiteral(TARNBECK_DELIVERED_DB),
                        m_app.filePath(QStringLiteral("tarnbeck.dat"))));
    QVERIFY(QFile::setPermissions(m_app.filePath(QStringLiteral("tarnbeck.dat")),
                                  QFile::ReadOwner | QFile::WriteOwner));
}

void TestTickerBinary::firstRunAtTheCentreAndSecondStartRefused()
{
    LoopbackHttpServer server;
    QVERIFY(server.start());
    server.setRoute(QStringLiteral("/ident.dat"), {200, "1.6\n", {}, {}});
    server.serveFile(QStringLiteral("/data/observations/metar/stations/RJTT.TXT"),
                     stationFile(QStringLiteral("metar/RJTT_1.TXT")));
    server.serveFile(QStringLiteral("/data/forecasts/taf/stations/RJTT.TXT"),
                     stationFile(QStringLiteral("taf/RJTT_1.TXT")));
    {
        SqlDatabase db;
        QVERIFY(db.open(m_app.filePath(QStringLiteral("tarnbeck.dat")), "pelko"));
        QVERIFY(db.execute(
            QStringLiteral("UPDATE host SET url = '%1'; UPDATE setting SET forecolor = 65535")
                .arg(server.baseUrl().toString())));
    }
    const QStringList screen =
        run(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")})
            .split(QLatin1Char(' '));
    QCOMPARE(screen.size(), 2);
    const QPoint centre(screen[0].toInt() / 2, screen[1].toInt() / 2);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(m_app.filePath(QStringLiteral("tarnbeck")), {});
    QVERIFY(first.waitForStarted());

    // The report arrives about a second after the network check; poll, never just sleep.
    // Inside the window only text colour and desktop colour: the background is shaped away.
    const QString shotPath = m_app.filePath(QStringLiteral("shot.png"));
    QRect window;
    int text = 0;
    int desktop = 0;
    int other = 0;
    const auto shownAndShaped = [&] {
        window = {};
        for (const WindowGeometry &w : windowsNamed(QStringLiteral("^Tarnbeck$"))) {
            if (w.rect.height() > 50)
                window = w.rect;
        }
        if (window.isNull())
            return false;
        // A plain desktop colour, so the shaped window shows it around the text. Set while the
        // program is connected: an X server resets the root when its last client leaves.
        run(QStringLiteral("xsetroot"), {QStringLiteral("-solid"), QStringLiteral("#336699")});
        run(QStringLiteral("import"),
            {QStringLiteral("-window"), QStringLiteral("root"), shotPath});
        const QImage shot(shotPath);
        text = desktop = other = 0;
        for (int y = window.top(); y <= window.bottom() && y < shot.height(); ++y) {
            for (int x = window.left(); x <= window.right() && x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (c == QColor(255, 255, 0))
                    ++text;
                else if (c == QColor(0x33, 0x66, 0x99))
                    ++desktop;
                else
                    ++other;
            }
        }
        return text > 500 && desktop > 10 * text && other == 0;
    };
    QVERIFY2(
        QTest::qWaitFor(shownAndShaped, 30000),
        qPrintable(
            QStringLiteral("text %1, desktop %2, other %3").arg(text).arg(desktop).arg(other)));
    QCOMPARE(window.topLeft(), centre);
    // Kept for the README: the ticker on a desktop.
    QDir().mkpath(QStringLiteral(TARNBECK_SCREENSHOTS));
    QImage(shotPath)
        .copy(window.adjusted(-40, -30, 40, 30))
        .save(QStringLiteral(TARNBECK_SCREENSHOTS "/ticker.png"));

    // A second start says so and ends; the first runs on.
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(m_app.filePath(QStringLiteral("tarnbeck")), {});
    QVERIFY(second.waitForStarted());
    QList<WindowGeometry> refusal;
    QVERIFY(QTest::qWaitFor(
        [&] {
            refusal = windowsNamed(QStringLiteral("確認"));
            return !refusal.isEmpty();
        },
        20000));
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--window"),
                                    refusal.first().id, QStringLiteral("Return")});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

QTEST_GUILESS_MAIN(TestTickerBinary)
#include "test_tickerbinary.moc"
