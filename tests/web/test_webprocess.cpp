// The ticker's side of the web windows with the real tarnbeck-web: found beside the program,
// started on demand, its windows shown, closed and brought forward, its end and its faults.
#include "DocumentServer.h"
#include "WebProcessSupport.h"
#include "WindowManager.h"
#include "desktop/MessageBox.h"
#include "web/WebWindowsProcess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

const QString chartTitle = QStringLiteral(" 天気のツボ");

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

/// Mapped files of this process that belong to an OpenGL driver (not the dispatch libraries
/// that QtGui links anyway).
QStringList graphicsDriverFiles()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return {QStringLiteral("(no /proc/self/maps)")};
    QStringList found;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        if (line.contains("_dri.so") || line.contains("libGLX_mesa") ||
            line.contains("libEGL_mesa") || line.contains("xcbglintegrations"))
            found.append(QString::fromLatin1(line.mid(line.lastIndexOf(' ') + 1)));
    }
    found.removeDuplicates();
    return found;
}

/// A stand-in for tarnbeck-web in `dir`, when `text` is not empty.
QString writeProgram(const QTemporaryDir &dir, const QByteArray &text, bool executable = true)
{
    const QString path = dir.filePath(QStringLiteral("tarnbeck-web"));
    QFile file(path);
    if (!text.isEmpty() && file.open(QIODevice::WriteOnly)) {
        file.write(text);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    return path;
}

/// A stand-in that runs `first`, is ready, opens the chart when asked, then runs `rest`.
QByteArray opening(const QByteArray &rest, const QByteArray &first = {})
{
    return "#!/bin/sh\n" + first +
           "echo '{\"is\":\"ready\",\"protocol\":" + QByteArray::number(WebProtocol::version) +
           "}'\nread line\necho '{\"is\":\"open\",\"window\":\"chart\"}'\n" + rest;
}

} // namespace

class TestWebProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void tickerLinksNoBrowserEngine();
    void foundBesideTheProgram();
    void programAloneEndsWhenTold_data();
    void programAloneEndsWhenTold();
    void faultsAtStartAreToldOnce_data();
    void faultsAtStartAreToldOnce();
    void chartOpensOnceAndComesForward();
    void closedChartEndsTheProcessAndOpensAgain_data();
    void closedChartEndsTheProcessAndOpensAgain();
    void killedProcessIsToldOnceAndReplaced();
    void cameraStandInFinishesWithTheWindow_data();
    void cameraStandInFinishesWithTheWindow();
    void endLeavesNoBrowserProcess();
    void unreadErrorOutputNeverHoldsTheTicker();
    void endWaitsOneSecondAtMost();
    void tickerNeverLoadsTheGraphicsDriver();

private:
    /// Opens the chart window; the process's id once it is shown, 0 when it is not.
    qint64 openChart();

    DocumentServer m_server;
    SourceHosts m_hosts;
    DisplayProgram m_windowManager{QStringLiteral("openbox")};
    QList<ShownMessage> m_messages;
    std::unique_ptr<MessageSink> m_sink;
    std::unique_ptr<WebWindowsProcess> m_web;
};

void TestWebProcess::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    if (!StartWindowManager(m_windowManager))
        QSKIP("needs openbox");
    QVERIFY(m_server.start());
    m_hosts = hostsOn(m_server.baseUrl());
    m_sink = std::make_unique<MessageSink>([this](const ShownMessage &m) { m_messages.append(m); });
}

void TestWebProcess::cleanupTestCase()
{
    m_sink.reset();
}

void TestWebProcess::init()
{
    m_messages.clear();
    m_web = std::make_unique<WebWindowsProcess>();
}

void TestWebProcess::cleanup()
{
    m_web.reset(); // ends its process
}

qint64 TestWebProcess::openChart()
{
    QSignalSpy opened(m_web.get(), &WebWindowsProcess::windowOpened);
    m_web->showChart(m_hosts, {}, nullptr);
    if (!QTest::qWaitFor([&] { return opened.count() == 1; }, 30000))
        return 0;
    return m_web->processId();
}

void TestWebProcess::tickerLinksNoBrowserEngine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("ldd")).isEmpty())
        QSKIP("ldd is missing");
    const QString ticker = run(QStringLiteral("ldd"), {QStringLiteral(TARNBECK_BINARY)});
    QVERIFY(ticker.contains(QLatin1String("libQt6Widgets")));
    QVERIFY2(!ticker.contains(QLatin1String("libQt6WebEngine")), qPrintable(ticker));
    // The same check sees the engine where it belongs.
    const QString web = run(QStringLiteral("ldd"), {QStringLiteral(TARNBECK_WEB_BINARY)});
    QVERIFY2(web.contains(QLatin1String("libQt6WebEngineCore")), qPrintable(web));
    // Nor does the web program carry the ticker's database, network or windows.
    QVERIFY2(!web.contains(QLatin1String("libsqlcipher")), qPrintable(web));
    if (QStandardPaths::findExecutable(QStringLiteral("nm")).isEmpty())
        QSKIP("nm is missing");
    const QString symbols =
        run(QStringLiteral("nm"), {QStringLiteral("-C"), QStringLiteral("--defined-only"),
                                   QStringLiteral(TARNBECK_WEB_BINARY)});
    QVERIFY(symbols.contains(QLatin1String("ChartWindow::ShowChart")));
    for (const char *foreign : {"ShowMessage(", "OpenSettings", "SqlDatabase::", "TickerWindow::"})
        QVERIFY2(!symbols.contains(QLatin1String(foreign)), foreign);
}

void TestWebProcess::foundBesideTheProgram()
{
    const QStringList candidates = WebWindowsProcess::programCandidates();
    QCOMPARE(candidates.size(), 2);
    QCOMPARE(candidates.first(), QFileInfo(QStringLiteral(TARNBECK_WEB_BINARY)).absoluteFilePath());
    // Installed, it is in a private folder of its own, out of the search path.
    QVERIFY2(candidates.last().endsWith(QLatin1String("/tarnbeck/tarnbeck-web")),
             qPrintable(candidates.last()));
    QVERIFY(!candidates.last().contains(QLatin1String("/bin/")));
}

void TestWebProcess::programAloneEndsWhenTold_data()
{
    QTest::addColumn<bool>("bye");
    QTest::newRow("bye") << true;
    QTest::newRow("the ticker gone") << false;
}

void TestWebProcess::programAloneEndsWhenTold()
{
    QFETCH(bool, bye);
    QProcess web;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (::geteuid() == 0)
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    web.setProcessEnvironment(environment);
    web.start(QStringLiteral(TARNBECK_WEB_BINARY),
              {QStringLiteral("-platform"), QStringLiteral("xcb")});
    QTRY_VERIFY_WITH_TIMEOUT(web.canReadLine(), 30000);
    QCOMPARE(WebProtocol::ParseEvent(web.readLine()).kind, WebProtocol::Event::Ready);
    WebProtocol::Command chart;
    chart.kind = WebProtocol::Command::Chart;
    chart.hosts = m_hosts;
    web.write(WebProtocol::Encode(chart));
    QTRY_VERIFY_WITH_TIMEOUT(web.canReadLine(), 30000);
    QCOMPARE(WebProtocol::ParseEvent(web.readLine()).kind, WebProtocol::Event::Open);
    const QList<qint64> processes = ProcessTree(web.processId());
    QVERIFY2(processes.size() > 1, "the browser engine's processes"); // under it

    if (bye) {
        WebProtocol::Command command;
        command.kind = WebProtocol::Command::Bye;
        web.write(WebProtocol::Encode(command));
    } else {
        web.closeWriteChannel(); // as when the ticker is killed
    }
    QTRY_COMPARE_WITH_TIMEOUT(web.state(), QProcess::NotRunning, 10000);
    QCOMPARE(web.exitStatus(), QProcess::NormalExit);
    QCOMPARE(web.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(StillRunning(processes), QList<qint64>(), 10000);

    // The engine started with its shared context, without a warning and, unless asked for
    // through QT_LOGGING_RULES, without its graphics report.
    const QString said = QString::fromLocal8Bit(web.readAllStandardError());
    QVERIFY2(!said.contains(QLatin1String("AA_ShareOpenGLContexts")), qPrintable(said));
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        QVERIFY2(!said.contains(QLatin1String("qt.webenginecontext")), qPrintable(said));
}

void TestWebProcess::faultsAtStartAreToldOnce_data()
{
    QTest::addColumn<QByteArray>("program"); // empty: no file at all
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QStringList>("told");
    const QString cannot = QStringLiteral("を起動できません");
    QTest::newRow("missing") << QByteArray() << false << QStringList{cannot};
    QTest::newRow("not executable") << QByteArray("#!/bin/sh\n") << false << QStringList{cannot};
    QTest::newRow("not a program") << QByteArray("junk\n") << true << QStringList{cannot};
    QTest::newRow("engine missing")
        << QByteArray("#!/bin/sh\necho 'tarnbeck-web: error while loading shared libraries: "
                      "libQt6WebEngineCore.so.6: cannot open shared object file' >&2\nexit 127\n")
        << true
        << QStringList{cannot, QStringLiteral("終了コード 127"),
                       QStringLiteral("libQt6WebEngineCore.so.6")};
    QTest::newRow("crash at start") << QByteArray("#!/bin/sh\nkill -SEGV $$\n") << true
                                    << QStringList{cannot, QStringLiteral("シグナル 11")};
    QTest::newRow("another version")
        << QByteArray("#!/bin/sh\necho '{\"is\":\"ready\",\"protocol\":999}'\nexec sleep 60\n")
        << true << QStringList{cannot, QStringLiteral("版が違います")};
    QTest::newRow("a line without an end")
        << QByteArray("#!/bin/sh\nhead -c 3000000 /dev/zero | tr '\\0' x\nexec sleep 60\n") << true
        << QStringList{cannot, QStringLiteral("1 MB を超える行")};
    // Its own words told, not crowded out by the five lines the browser engine adds.
    QTest::newRow("the engine's words")
        << QByteArray(
               "#!/bin/sh\n(echo 'tarnbeck-web: no chart'\n"
               "echo '[31:31:0312/101010.123456:WARNING:sandbox_linux.cc(418)] threads'\n"
               "echo 'Warning: disabling flag --expose_wasm due to conflicting flags'\n"
               "echo 'js: crbug/1173575, non-JS module files deprecated.'\n"
               "echo '[31:40:0312/101010.223456:ERROR:gpu_init.cc(523)] no GL'\n"
               "echo '[31:40:0312/101010.323456:ERROR:gpu_init.cc(524)] none') >&2\nexit 1\n")
        << true << QStringList{cannot, QStringLiteral("終了コード 1\ntarnbeck-web: no chart")};
}

void TestWebProcess::faultsAtStartAreToldOnce()
{
    QFETCH(QByteArray, program);
    QFETCH(bool, executable);
    QFETCH(QStringList, told);
    QTemporaryDir dir;
    const QString path = writeProgram(dir, program, executable);
    m_web->setProgram(path);
    QSignalSpy ended(m_web.get(), &WebWindowsProcess::processEnded);
    m_web->showChart(m_hosts, {}, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(ended.count() > 0, 30000);
    QVERIFY(!m_web->isRunning());
    QCOMPARE(m_messages.size(), 1);
    for (const QString &part : told)
        QVERIFY2(m_messages.first().text.contains(part), qPrintable(m_messages.first().text));
    QVERIFY2(m_messages.first().text.contains(path), qPrintable(m_messages.first().text));

    // The next "天気図" starts a fresh one.
    m_web->setProgram(QStringLiteral(TARNBECK_WEB_BINARY));
    QVERIFY(openChart() > 0);
    QCOMPARE(m_messages.size(), 1);
}

void TestWebProcess::chartOpensOnceAndComesForward()
{
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(pid, chartTitle).size(), 1, webTimeoutMs);
    const xcb_window_t chart = WindowsTitled(pid, chartTitle).first().id;
    // The sandbox is off in the browser's process only, and only for root.
    QCOMPARE(ProcessEnvironment(pid).contains("QTWEBENGINE_DISABLE_SANDBOX=1"), ::geteuid() == 0);
    QVERIFY(qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"));

    // Another window takes the front; "天気図" again brings the same chart window back.
    QWidget other;
    other.setWindowTitle(QStringLiteral("other"));
    other.resize(400, 300);
    other.show();
    // Asked once it is mapped: asked before, Qt would ask again when the map comes in, later.
    // As a click on it would: this process has no user action of its own for the manager.
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    BringForward(&other);
    QTRY_VERIFY2_WITH_TIMEOUT(other.isActiveWindow() &&
                                  ActiveWindow() == xcb_window_t(other.winId()),
                              qPrintable(QStringLiteral("active %1, other %2 (%3)")
                                             .arg(ActiveWindow())
                                             .arg(other.winId())
                                             .arg(other.isActiveWindow())),
                              webTimeoutMs);
    QSignalSpy opened(m_web.get(), &WebWindowsProcess::windowOpened);
    m_web->showChart(m_hosts, {}, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, webTimeoutMs);
    QCOMPARE(m_web->processId(), pid);
    QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), chart, webTimeoutMs);
    QCOMPARE(WindowsTitled(pid, chartTitle).size(), 1);
}

void TestWebProcess::closedChartEndsTheProcessAndOpensAgain_data()
{
    QTest::addColumn<bool>("atOnce");
    QTest::newRow("once it has ended") << false;
    QTest::newRow("while it ends") << true; // asked of the old process, taken by a new one
}

void TestWebProcess::closedChartEndsTheProcessAndOpensAgain()
{
    QFETCH(bool, atOnce);
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(pid, chartTitle).size(), 1, webTimeoutMs);
    const QList<qint64> processes = ProcessTree(pid);
    QSignalSpy closed(m_web.get(), &WebWindowsProcess::windowClosed);
    QVERIFY(CloseWindowUntil(WindowsTitled(pid, chartTitle).first().id,
                             [&] { return closed.count() == 1; }));
    if (atOnce) {
        QSignalSpy opened(m_web.get(), &WebWindowsProcess::windowOpened);
        m_web->showChart(m_hosts, {}, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
        QVERIFY(m_web->processId() != pid);
        QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(m_web->processId(), chartTitle).size(), 1,
                                  webTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(StillRunning(processes), QList<qint64>(), 5000);
        QVERIFY(m_messages.isEmpty());
        return;
    }
    // The process and every browser process under it are gone within 5 s.
    QTRY_VERIFY_WITH_TIMEOUT(!m_web->isRunning(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(StillRunning(processes), QList<qint64>(), 5000);
    QVERIFY(m_messages.isEmpty());

    const qint64 again = openChart();
    QVERIFY(again > 0 && again != pid);
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(again, chartTitle).size(), 1, webTimeoutMs);
}

void TestWebProcess::killedProcessIsToldOnceAndReplaced()
{
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    const QList<qint64> processes = ProcessTree(pid);
    QSignalSpy ended(m_web.get(), &WebWindowsProcess::processEnded);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, webTimeoutMs);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().text.contains(QStringLiteral("異常終了")) &&
                 m_messages.first().text.contains(QStringLiteral("シグナル 9")),
             qPrintable(m_messages.first().text));
    // Its browser processes follow it.
    QTRY_COMPARE_WITH_TIMEOUT(StillRunning(processes), QList<qint64>(), 10000);
    // Addresses saved meanwhile start nothing.
    m_web->hostsChanged(m_hosts);
    QVERIFY(!m_web->isRunning());

    const qint64 again = openChart();
    QVERIFY(again > 0 && again != pid);
    QCOMPARE(m_messages.size(), 1);
}

void TestWebProcess::cameraStandInFinishesWithTheWindow_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("closed") << false;
    QTest::newRow("its process killed") << true;
}

void TestWebProcess::cameraStandInFinishesWithTheWindow()
{
    QFETCH(bool, killed);
    QSignalSpy opened(m_web.get(), &WebWindowsProcess::windowOpened);
    QPointer<QDialog> standIn = m_web->showCamera(m_hosts, nullptr);
    QVERIFY(standIn);
    QVERIFY(!standIn->isVisible()); // the window shows in the other process
    QCOMPARE(m_web->cameraStandIn(), standIn.data());
    QSignalSpy finished(standIn.data(), &QDialog::finished);
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
    const qint64 pid = m_web->processId();
    QTRY_COMPARE_WITH_TIMEOUT(WindowsTitled(pid, QStringLiteral("新千歳空港")).size(), 1,
                              webTimeoutMs);
    QCOMPARE(finished.count(), 0);

    if (killed)
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
    else
        QVERIFY(CloseWindowUntil(WindowsTitled(pid, QStringLiteral("新千歳空港")).first().id,
                                 [&] { return finished.count() == 1; }));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, webTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(standIn.isNull(), webTimeoutMs);
    QVERIFY(!m_web->cameraStandIn());
    QCOMPARE(m_messages.size(), killed ? 1 : 0);
}

void TestWebProcess::endLeavesNoBrowserProcess()
{
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    QSignalSpy opened(m_web.get(), &WebWindowsProcess::windowOpened);
    QVERIFY(m_web->showCamera(m_hosts, nullptr));
    QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 30000);
    const QList<qint64> processes = ProcessTree(pid);
    m_web->end(); // as the ticker ends
    QVERIFY(!ProcessAlive(pid));
    QTRY_COMPARE_WITH_TIMEOUT(StillRunning(processes), QList<qint64>(), 5000);
    QVERIFY(m_messages.isEmpty());
}

void TestWebProcess::unreadErrorOutputNeverHoldsTheTicker()
{
    // This process's standard error becomes a pipe that nobody reads for 10 s.
    int pipe[2];
    QVERIFY(::pipe(pipe) == 0);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(pipe[1], STDERR_FILENO);
    ::close(pipe[1]);
    ::fcntl(pipe[0], F_SETFL, O_NONBLOCK);
    std::atomic<bool> done = false;
    std::thread reader([&] {
        char buffer[65536];
        for (int ticks = 0; !done; ++ticks) {
            if (ticks < 1000 || ::read(pipe[0], buffer, sizeof buffer) <= 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    QTemporaryDir dir;
    m_web->setProgram(writeProgram(
        dir, opening("exec sleep 60\n", "head -c 5000000 /dev/zero | tr '\\0' e >&2\n")));
    QElapsedTimer clock;
    qint64 longest = 0;
    QTimer tick;
    connect(&tick, &QTimer::timeout, this, [&] { longest = qMax(longest, clock.restart()); });
    clock.start();
    tick.start(50);
    const bool opened = openChart() > 0;
    tick.stop();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    done = true;
    reader.join();
    ::close(pipe[0]);
    QVERIFY(opened);
    QVERIFY2(longest < 1000, qPrintable(QStringLiteral("the event loop stood %1 ms").arg(longest)));
}

void TestWebProcess::endWaitsOneSecondAtMost()
{
    // Deaf to "bye" and to SIGTERM.
    QTemporaryDir dir;
    m_web->setProgram(writeProgram(dir, opening("trap '' TERM\nexec sleep 60\n")));
    const qint64 pid = openChart();
    QVERIFY(pid > 0);
    QElapsedTimer clock;
    clock.start();
    m_web->end();
    QVERIFY2(clock.elapsed() < 1100, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!ProcessAlive(pid));
}

void TestWebProcess::tickerNeverLoadsTheGraphicsDriver()
{
    // Chart and camera windows have been open: their driver stayed in their own process.
    QCOMPARE(graphicsDriverFiles(), QStringList());
}

// As the program starts: nothing set up for the browser engine in this process.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestWebProcess test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_webprocess.moc"
