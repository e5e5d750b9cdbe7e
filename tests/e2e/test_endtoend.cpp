// Tarnbeck as a user meets it: the real binary on an X display, driven from outside.
#include "e2e/X11Driver.h"
#include "support/DisplayProgram.h"
#include "support/LoopbackHttpServer.h"
#include "support/SqlShell.h"
#include "support/TestDatabase.h"
#include "web/DocumentServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <TarnbeckVersion.h>

using namespace X11Driver;

namespace {

const QColor textColor(255, 255, 0);
const QColor desktopColor(0x33, 0x66, 0x99);
constexpr int deadline = 30000;
const QString settingsTitle = QStringLiteral("Tarnbeck  ver ") + QLatin1String(programVersion);

/// The frame the window manager has drawn around the window whose middle is at `inside`, found in
/// `shot` by walking out to the desktop in the four directions.
QRect drawnFrame(const QImage &shot, const QPoint &inside)
{
    const auto edge = [&](QPoint step) {
        QPoint at = inside;
        while (shot.rect().contains(at + step) && shot.pixelColor(at + step) != desktopColor)
            at += step;
        return at;
    };
    return QRect(QPoint(edge({-1, 0}).x(), edge({0, -1}).y()),
                 QPoint(edge({1, 0}).x(), edge({0, 1}).y()));
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstRunShowsTheFirstTargetAtTheCentre();
    void menuAndEnd();
    void dragMovesAndTheNewPlaceIsStored();
    void noNetworkAndBack();
    void secondStartIsRefused();
    void x11WhateverThePlatformAsked_data();
    void x11WhateverThePlatformAsked();
    void terminationSavesThePlace();
    void textSizeSavedAndKeptAfterRestart();
    void otherWindowsOpenFromTheMenu();
    void agencyChartFromItsMenu();
    void smoothAndClickThroughUnderACompositor();
    void slideUnderACompositor();

private:
    /// Starts the program in its directory; the process is killed at cleanup if still running.
    QProcess *start();
    /// The ticker window once it shows text, or a null rect.
    QRect waitForTicker(const std::function<bool(const QRect &)> &accept = {});
    /// Runs SQL with the sqlcipher command-line tool on the program's database.
    QString sql(const QString &statement) const;
    /// The ids of the program's windows shown now.
    static QStringList shownWindows();
    /// Opens the pop-up menu with a right click on the handle square; the menu's window.
    X11Window openMenu(const QRect &ticker);
    /// Empty when the ticker, shown at `at`, still runs and answers: its menu opens after
    /// everything sent to it before, and it still stands at `at` once the menu is dismissed.
    QString stillAnswers(QProcess *ticker, const QRect &at);
    /// Chooses the menu item `upPresses` up from the bottom and returns the window it opens.
    X11Window openFromMenu(const QRect &ticker, int upPresses, const QStringList &known);
    QString shotPath(const QString &name) const
    {
        return m_app->filePath(name + QStringLiteral(".png"));
    }
    void keepScreenshot(const QString &name, const QRect &area);
    /// Starts xcompmgr, stopped at the end of the test; false when it is not installed.
    bool startCompositor()
    {
        return m_compositor.start([] { return compositorRunning(); }, deadline);
    }

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<LoopbackHttpServer> m_server;
    QList<QProcess *> m_processes;
    DisplayProgram m_windowManager{QStringLiteral("openbox")};
    DisplayProgram m_compositor{QStringLiteral("xcompmgr")};
    quint16 m_port = 0;
};

void TestEndToEnd::initTestCase()
{
    QString why;
    if (!available(&why))
        QSKIP(qPrintable(why));
    // A window manager gives the close box and the system move a user has.
    if (m_windowManager.installed())
        QVERIFY(m_windowManager.start([] { return windowManagerRunning(); }, deadline));
}

void TestEndToEnd::init()
{
    // A pointer left on the handle's place by the last test would fill the new ticker's square.
    const QSize screen = screenSize();
    mouseMove(QPoint(screen.width() - 1, screen.height() - 1));
    m_app = std::make_unique<QTemporaryDir>();
    const QString binary = m_app->filePath(QStringLiteral("tarnbeck"));
    QVERIFY(QFile::copy(QStringLiteral(TARNBECK_BINARY), binary));
    QVERIFY(QFile::setPermissions(binary, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // The chart and camera windows come with the program, as its second program beside it.
    const QString web = m_app->filePath(QStringLiteral("tarnbeck-web"));
    QVERIFY(QFile::copy(QStringLiteral(TARNBECK_WEB_BINARY), web));
    QVERIFY(QFile::setPermissions(web, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString db = m_app->filePath(QStringLiteral("tarnbeck.dat"));
    QVERIFY(QFile::copy(QStringLiteral(TARNBECK_DELIVERED_DB), db));
    QVERIFY(QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner));

    m_server = std::make_unique<LoopbackHttpServer>();
    QVERIFY(m_server->start());
    m_port = m_server->serverPort();
    m_server->setRoute(QStringLiteral("/ident.dat"), {200, "ok\n", {}, {}});
    // Station files whose lines fit beside the screen's centre.
    const struct
    {
        const char *code;
        const char *metar;
        const char *taf;
    } stations[] = {
        {"RJTT", "RJTT_4", "RJTT_1"}, {"RJAA", "RJAA_2", "RJAA_1"}, {"RJBB", "RJBB_2", "RJBB_1"}};
    for (const auto &s : stations) {
        m_server->serveFile(
            QStringLiteral("/data/observations/metar/stations/%1.TXT").arg(QLatin1String(s.code)),
            stationFile(QStringLiteral("metar/%1.TXT").arg(QLatin1String(s.metar))));
        m_server->serveFile(
            QStringLiteral("/data/forecasts/taf/stations/%1.TXT").arg(QLatin1String(s.code)),
            stationFile(QStringLiteral("taf/%1.TXT").arg(QLatin1String(s.taf))));
    }
    QCOMPARE(sql(QStringLiteral("UPDATE host SET url = '%1'; UPDATE setting SET forecolor = 65535; "
                                "SELECT count(*) FROM host WHERE url = '%1';")
                     .arg(m_server->baseUrl().toString())),
             QStringLiteral("21"));
}

void TestEndToEnd::cleanup()
{
    for (QProcess *process : std::as_const(m_processes)) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
        delete process;
    }
    m_processes.clear();
    m_compositor.stop();
    m_server.reset();
    m_app.reset();
}

QProcess *TestEndToEnd::start()
{
    auto *process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(m_app->filePath(QStringLiteral("tarnbeck")), {});
    m_processes.append(process);
    process->waitForStarted();
    return process;
}

QString TestEndToEnd::sql(const QString &statement) const
{
    return RunSqlShell(m_app->filePath(QStringLiteral("tarnbeck.dat")), statement);
}

QRect TestEndToEnd::waitForTicker(const std::function<bool(const QRect &)> &accept)
{
    return waitForStillWindow(
        QStringLiteral("^Tarnbeck$"),
        [&](const QRect &r) { return r.height() > 10 && (!accept || accept(r)); }, deadline);
}

QStringList TestEndToEnd::shownWindows()
{
    QStringList ids;
    for (const X11Window &w : windowsOfClass(QStringLiteral("tarnbeck")))
        ids.append(w.id);
    return ids;
}

X11Window TestEndToEnd::openMenu(const QRect &ticker)
{
    const QStringList before = shownWindows();
    click(ticker.topLeft() + QPoint(6, 7), 3);
    return newWindowOfClass(QStringLiteral("tarnbeck"), before, 100, deadline);
}

QString TestEndToEnd::stillAnswers(QProcess *ticker, const QRect &at)
{
    // Its input comes in order: the click that opens the menu is taken after all sent before.
    const X11Window menu = openMenu(at);
    if (menu.id.isEmpty())
        return QStringLiteral("no menu appeared");
    key(QStringLiteral("Escape"));
    if (!QTest::qWaitFor([&] { return !shownWindows().contains(menu.id); }, deadline))
        return QStringLiteral("the menu stayed");
    if (ticker->state() != QProcess::Running)
        return QStringLiteral("the ticker has ended");
    const QRect now = waitForTicker();
    return now.topLeft() == at.topLeft()
               ? QString()
               : QStringLiteral("the ticker stands at %1,%2").arg(now.x()).arg(now.y());
}

X11Window TestEndToEnd::openFromMenu(const QRect &ticker, int upPresses, const QStringList &known)
{
    const X11Window menu = openMenu(ticker);
    if (menu.id.isEmpty()) {
        qWarning("no menu");
        return {};
    }
    for (int i = 0; i < upPresses; ++i)
        key(QStringLiteral("Up"));
    key(QStringLiteral("Return"));
    const X11Window opened =
        newWindowOfClass(QStringLiteral("tarnbeck"), known + QStringList{menu.id}, 250, 60000);
    if (opened.id.isEmpty()) {
        for (const X11Window &w : windowsOfClass(QStringLiteral("tarnbeck")))
            qWarning("window %s at %d,%d %dx%d", qPrintable(w.id), w.rect.x(), w.rect.y(),
                     w.rect.width(), w.rect.height());
    }
    return opened;
}

void TestEndToEnd::keepScreenshot(const QString &name, const QRect &area)
{
    QDir().mkpath(QStringLiteral(TARNBECK_SCREENSHOTS));
    QImage(shotPath(QStringLiteral("shot")))
        .copy(area)
        .save(QStringLiteral(TARNBECK_SCREENSHOTS "/") + name + QStringLiteral(".png"));
}

void TestEndToEnd::firstRunShowsTheFirstTargetAtTheCentre()
{
    QProcess *ticker = start();
    // Placed before any text arrives: the top-left corner at the centre of the screen.
    const QRect placed = waitForTicker();
    const QSize screen = screenSize();
    QCOMPARE(placed.topLeft(), QPoint(screen.width() / 2, screen.height() / 2));

    QRect window;
    ColorCount pixels;
    // Shown and shaped: inside the window only text and desktop, the handle's square aside.
    QVERIFY(QTest::qWaitFor(
        [&] {
            window = waitForTicker([](const QRect &r) { return r.height() > 100; });
            if (window.isNull())
                return false;
            setDesktopColor(desktopColor.name()); // while the program is connected
            const QImage shot = screenshot(shotPath(QStringLiteral("shot")));
            pixels = countColors(shot, window.adjusted(0, 20, 0, 0), textColor, desktopColor);
            return pixels.a > 500 && pixels.b > 10 * pixels.a && pixels.other == 0;
        },
        deadline));
    QCOMPARE(window.topLeft(), placed.topLeft());
    keepScreenshot(QStringLiteral("ticker"), window.adjusted(-40, -30, 40, 30));

    // The report follows the network check by about one refresh tick.
    const QStringList requests = m_server->requests();
    QVERIFY(requests.indexOf(QStringLiteral("/ident.dat")) <
            requests.indexOf(QStringLiteral("/data/observations/metar/stations/RJTT.TXT")));
    QCOMPARE(ticker->state(), QProcess::Running);
}

void TestEndToEnd::menuAndEnd()
{
    QProcess *ticker = start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());
    const X11Window menu = openMenu(window);
    QVERIFY2(!menu.id.isEmpty(), "no menu appeared");
    screenshot(shotPath(QStringLiteral("shot")));
    keepScreenshot(QStringLiteral("menu"),
                   menu.rect.united(window.adjusted(0, 0, 0, 0)).adjusted(-20, -20, 20, 20) &
                       QRect(QPoint(), screenSize()));
    key(QStringLiteral("Up")); // the last item: 終了
    key(QStringLiteral("Return"));
    QVERIFY(ticker->waitForFinished(deadline));
    QCOMPARE(sql(QStringLiteral("SELECT posX, posY FROM setting;")),
             QStringLiteral("%1|%2")
                 .arg(window.x() * 15.0, 0, 'f', 1)
                 .arg(window.y() * 15.0, 0, 'f', 1));
}

void TestEndToEnd::dragMovesAndTheNewPlaceIsStored()
{
    QProcess *ticker = start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());
    const QPoint handle = window.topLeft() + QPoint(6, 7);
    drag(handle, handle - QPoint(200, 150));
    const QRect moved =
        waitForTicker([&](const QRect &r) { return r.topLeft() != window.topLeft(); });
    QVERIFY(!moved.isNull());
    QVERIFY2((moved.topLeft() - (window.topLeft() - QPoint(200, 150))).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(moved.x()).arg(moved.y())));
    // A drag on the text moves nothing. The menu opened after it shows the ticker has taken
    // all of the drag; it still stands where it was.
    drag(moved.topLeft() + QPoint(20, 30), moved.topLeft() + QPoint(120, 130));
    const X11Window menu = openMenu(moved);
    QVERIFY(!menu.id.isEmpty());
    QCOMPARE(waitForTicker([&](const QRect &r) { return r != menu.rect; }).topLeft(),
             moved.topLeft());
    key(QStringLiteral("Up"));
    key(QStringLiteral("Return"));
    QVERIFY(ticker->waitForFinished(deadline));
    QCOMPARE(
        sql(QStringLiteral("SELECT posX, posY FROM setting;")),
        QStringLiteral("%1|%2").arg(moved.x() * 15.0, 0, 'f', 1).arg(moved.y() * 15.0, 0, 'f', 1));

    // The next start comes back to the stored place.
    start();
    QCOMPARE(waitForTicker().topLeft(), moved.topLeft());
}

void TestEndToEnd::noNetworkAndBack()
{
    // Slide every 10 s, so a network check follows each refresh soon.
    QCOMPARE(sql(QStringLiteral("UPDATE setting SET autochange = -1, scroll = 0, autochangerate = "
                                "'10', getTAF = 0, getSUNSET = 0; "
                                "SELECT autochangerate FROM setting;")),
             QStringLiteral("10"));
    start();
    const QRect report = waitForTicker([](const QRect &r) { return r.width() > 400; });
    QVERIFY(!report.isNull());

    m_server->close();
    const QRect message =
        waitForTicker([](const QRect &r) { return r.width() < 250 && r.height() < 60; });
    QVERIFY2(!message.isNull(), "NO NETWORK CONNECTION never replaced the report");
    setDesktopColor(desktopColor.name());
    const ColorCount pixels =
        countColors(screenshot(shotPath(QStringLiteral("shot"))), message, textColor, desktopColor);
    QVERIFY(pixels.a > 50);

    QVERIFY(m_server->start(m_port));
    QVERIFY2(!waitForTicker([](const QRect &r) { return r.width() > 400; }).isNull(),
             "the report did not come back");
}

void TestEndToEnd::x11WhateverThePlatformAsked_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("display"); // "-": unset; empty: the test's own
    QTest::addColumn<QString>("said");    // on standard error
    QTest::addColumn<bool>("runs");
    QTest::newRow("wayland asked for")
        << "wayland" << QString() << "QT_QPA_PLATFORM=wayland overridden" << true;
    QTest::newRow("offscreen asked for") << "offscreen" << QString() << "overridden" << true;
    QTest::newRow("no display at all") << QString() << "-"
                                       << "needs X11 or XWayland" << false;
    QTest::newRow("no X server answers") << "wayland"
                                         << ":97"
                                         << "no X server answers at DISPLAY=:97" << false;
}

void TestEndToEnd::x11WhateverThePlatformAsked()
{
    QFETCH(QString, platform);
    QFETCH(QString, display);
    QFETCH(QString, said);
    QFETCH(bool, runs);
    QProcess ticker;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    if (display == QLatin1String("-"))
        env.remove(QStringLiteral("DISPLAY"));
    else if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    ticker.setProcessEnvironment(env);
    ticker.start(m_app->filePath(QStringLiteral("tarnbeck")), {});
    QVERIFY(ticker.waitForStarted());
    if (!runs) {
        QVERIFY(ticker.waitForFinished(30000));
        QCOMPARE(ticker.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ticker.exitCode(), 1);
        QVERIFY(QString::fromUtf8(ticker.readAllStandardError()).contains(said));
        return;
    }
    // On X11 all the same: the ticker stands at its place, and says once why.
    QVERIFY(!waitForTicker().isNull());
    QCOMPARE(ticker.state(), QProcess::Running);
    const QString errors = QString::fromUtf8(ticker.readAllStandardError());
    QCOMPARE(errors.count(said), 1);
    ticker.terminate();
    QVERIFY(ticker.waitForFinished(30000));
    QCOMPARE(ticker.exitCode(), 0);
}

void TestEndToEnd::secondStartIsRefused()
{
    QProcess *first = start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());
    QProcess *second = start();
    const QList<X11Window> refusal = waitForWindowsNamed(QStringLiteral("確認"), deadline);
    QVERIFY(!refusal.isEmpty());
    screenshot(shotPath(QStringLiteral("shot")));
    keepScreenshot(QStringLiteral("second-start"),
                   refusal.first().rect.adjusted(-10, -40, 10, 10) & QRect(QPoint(), screenSize()));
    keyToWindow(refusal.first().id, QStringLiteral("Return"));
    QVERIFY(second->waitForFinished(deadline));
    const QString answered = stillAnswers(first, window);
    QVERIFY2(answered.isEmpty(), qPrintable(answered));
}

void TestEndToEnd::terminationSavesThePlace()
{
    QProcess *ticker = start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());
    ticker->terminate(); // SIGTERM, as a logout sends
    QVERIFY(ticker->waitForFinished(deadline));
    QCOMPARE(ticker->exitStatus(), QProcess::NormalExit);
    QCOMPARE(ticker->exitCode(), 0);
    QCOMPARE(sql(QStringLiteral("SELECT posX, posY, startup FROM setting;")),
             QStringLiteral("%1|%2|1")
                 .arg(window.x() * 15.0, 0, 'f', 1)
                 .arg(window.y() * 15.0, 0, 'f', 1));
}

void TestEndToEnd::textSizeSavedAndKeptAfterRestart()
{
    if (!m_windowManager.running())
        QSKIP("needs a window manager for the close box");
    QProcess *ticker = start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());
    const X11Window menu = openMenu(window);
    QVERIFY(!menu.id.isEmpty());
    // 終了, バージョン, 拡張設定..., 解読..., 設定
    for (const char *k : {"Up", "Up", "Up", "Up", "Up", "Return"})
        key(QLatin1String(k));
    const QList<X11Window> settings = waitForWindowsNamed(settingsTitle, deadline);
    QVERIFY(!settings.isEmpty());
    const QRect area = settings.first().rect;
    const QRect kept = area.adjusted(-6, -45, 6, 6) & QRect(QPoint(), screenSize());
    QVERIFY(!drawnScreenshot(shotPath(QStringLiteral("shot")), kept, area, deadline).isNull());
    keepScreenshot(QStringLiteral("settings"), kept);

    // The size list: open it with a click, type the size, take it.
    keyToWindow(settings.first().id, QStringLiteral("shift")); // the window manager's focus first
    const QStringList before = shownWindows();
    clickInWindow(settings.first().id, QPoint(135, 55));
    QVERIFY2(!newWindowOfClass(QStringLiteral("tarnbeck"), before, 50, deadline).id.isEmpty(),
             "the size list did not open");
    run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("14")});
    key(QStringLiteral("Return"));
    // Taken: the ticker shows the bigger text at once.
    const QRect grown = waitForTicker([&](const QRect &r) { return r.height() > window.height(); });
    QVERIFY2(!grown.isNull(), "the size was not taken");
    keyToWindow(settings.first().id,
                QStringLiteral("alt+F4")); // the close box, through the window manager
    QVERIFY(windowsGone(settingsTitle, deadline));
    QTRY_COMPARE_WITH_TIMEOUT(sql(QStringLiteral("SELECT fontsize FROM setting;")),
                              QStringLiteral("14"), deadline);
    // The focus does not come back to the ticker: the close key, pressed again, ends nothing.
    // The window manager takes the key before the click that opens the menu, so a close it
    // sent the ticker would reach it first.
    key(QStringLiteral("alt+F4"));
    const QString answered = stillAnswers(ticker, grown);
    QVERIFY2(answered.isEmpty(), qPrintable(answered));

    // Bigger text now and after a restart.
    const QRect bigger =
        waitForTicker([&](const QRect &r) { return r.height() > window.height(); });
    QVERIFY(!bigger.isNull());
    ticker->kill();
    ticker->waitForFinished();
    QFile::remove(m_app->filePath(QStringLiteral("tarnbeck.lock")));
    start();
    QVERIFY(!waitForTicker([&](const QRect &r) { return r.height() > window.height(); }).isNull());
}

void TestEndToEnd::otherWindowsOpenFromTheMenu()
{
    if (!m_windowManager.running())
        QSKIP("needs a window manager for the close box");
    // The chart and camera sources: images, a page and a PDF from loopback.
    DocumentServer documents;
    QVERIFY(documents.start());
    QCOMPARE(sql(QStringLiteral(
                     "UPDATE host SET url = '%1' WHERE name LIKE 'chart%' OR name LIKE 'camera%'; "
                     "SELECT count(*) FROM host WHERE url = '%1';")
                     .arg(documents.baseUrl().toString())),
             QStringLiteral("15"));
    // The ticker in the screen's corner, where the other windows must not follow it.
    QCOMPARE(sql(QStringLiteral("UPDATE setting SET posX = 300, posY = 300; "
                                "SELECT posX FROM setting;")),
             QStringLiteral("300.0"));
    const QProcess *program = start();
    const QRect ticker = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!ticker.isNull());
    QCOMPARE(ticker.topLeft(), QPoint(20, 20));
    QStringList known;
    for (const X11Window &w : windowsOfClass(QStringLiteral("tarnbeck")))
        known.append(w.id);

    const struct
    {
        int upPresses;
        const char *screenshot;
        const char *caption;
        const char *picture; // served as every image, drawn at build time
    } windows[] = {{7, "sun", "日出没時刻", nullptr},
                   {6, "camera", nullptr, "runway.png"},
                   {8, "chart", nullptr, "weather-chart.png"}};
    for (const auto &w : windows) {
        QColor pictureColor;
        if (w.picture) {
            QFile picture(QStringLiteral(TARNBECK_E2E_PICTURES "/") + QLatin1String(w.picture));
            QVERIFY2(picture.open(QIODevice::ReadOnly), w.picture);
            const QByteArray png = picture.readAll();
            pictureColor = QImage::fromData(png).pixelColor(2, 2);
            documents.setImage(png, "image/png");
        }
        const X11Window opened = openFromMenu(ticker, w.upPresses, known);
        QVERIFY2(!opened.id.isEmpty(), w.screenshot);
        const QRect kept = opened.rect.adjusted(-6, -45, 6, 6) & QRect(QPoint(), screenSize());
        // Part of the year's table, away from where the list drops: empty until a choice.
        const QRect tableCorner(opened.rect.topLeft() + QPoint(opened.rect.width() * 3 / 4,
                                                               opened.rect.height() * 3 / 4),
                                opened.rect.size() / 6);
        QImage emptyTable;
        if (w.caption) {
            QVERIFY(!windowsNamed(QString::fromUtf8(w.caption)).isEmpty());
            emptyTable =
                drawnScreenshot(shotPath(QStringLiteral("shot")), kept, opened.rect, deadline)
                    .copy(tableCorner);
            QVERIFY(!emptyTable.isNull());
            // A year of one airport, as a user would look it up: the list, its first entry.
            const QStringList before = shownWindows();
            clickInWindow(opened.id, QPoint(330, 23));
            QVERIFY(
                !newWindowOfClass(QStringLiteral("tarnbeck"), before, 50, deadline).id.isEmpty());
            key(QStringLiteral("Down"));
            key(QStringLiteral("Return"));
        }
        // Let the first document arrive before the picture is taken.
        QVERIFY(QTest::qWaitFor([&] { return documents.requests().size() > 0 || w.caption; },
                                deadline));
        setDesktopColor(desktopColor.name());
        // Taken once the window is drawn, the picture or the chosen year it shows included.
        const QImage shot = drawnScreenshot(
            shotPath(QStringLiteral("shot")), kept, opened.rect, deadline, [&](const QImage &s) {
                if (w.caption)
                    return s.copy(tableCorner) != emptyTable;
                return !w.picture ||
                       countColors(s, opened.rect, pictureColor, desktopColor).a > 300;
            });
        QVERIFY2(!shot.isNull(), w.screenshot);
        // Centred on the screen, frame and all.
        const QRect frame = drawnFrame(shot, opened.rect.center());
        const QSize screen = screenSize();
        QVERIFY2(frame.width() > opened.rect.width(), w.screenshot); // the manager's frame
        // The picture fills the window: a row of its top-left colour shows.
        if (w.picture)
            QVERIFY2(countColors(shot, opened.rect, pictureColor, desktopColor).a > 300, w.picture);
        QCOMPARE(frame.topLeft(), QPoint((screen.width() - frame.width()) / 2,
                                         (screen.height() - frame.height()) / 2));
        keepScreenshot(QLatin1String(w.screenshot), kept);
        keyToWindow(opened.id, QStringLiteral("alt+F4"));
        QVERIFY2(QTest::qWaitFor([&] { return !shownWindows().contains(opened.id); }, deadline),
                 w.screenshot);
    }
    QVERIFY(documents.requests().size() > 0);
    // The chart and camera windows' own process has ended with the last of them.
    const auto children = [&] {
        QByteArray found;
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(program->processId()));
        for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile file(tasks.filePath(task + QStringLiteral("/children")));
            if (file.open(QIODevice::ReadOnly))
                found += file.readAll().trimmed();
        }
        return found;
    };
    QTRY_COMPARE_WITH_TIMEOUT(children(), QByteArray(), 5000);
}

void TestEndToEnd::agencyChartFromItsMenu()
{
    if (!m_windowManager.running())
        QSKIP("needs a window manager for the keyboard focus");
    // The agency's two hosts and the catalogue's on loopback; the stand-in chart as every PDF.
    DocumentServer documents;
    QVERIFY(documents.start());
    QFile pdf(QStringLiteral(TARNBECK_E2E_PICTURES "/asas.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    documents.setPdf(pdf.readAll());
    QCOMPARE(sql(QStringLiteral("UPDATE host SET url = '%1' WHERE name LIKE 'chart%' OR "
                                "name IN ('jma', 'jmabosai'); "
                                "SELECT count(*) FROM host WHERE url = '%1';")
                     .arg(documents.baseUrl().toString())),
             QStringLiteral("11"));
    start();
    const QRect ticker = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!ticker.isNull());
    QStringList known;
    for (const X11Window &w : windowsOfClass(QStringLiteral("tarnbeck")))
        known.append(w.id);
    const X11Window chart = openFromMenu(ticker, 8, known);
    QVERIFY(!chart.id.isEmpty());

    // The menu bar from the keyboard: Alt takes it, Left goes round to its last menu, "気象庁",
    // Down opens it on its first entry, the surface analysis in colour.
    const QString path = QStringLiteral("/yoho/data/wxchart/quick/ASAS_COLOR.pdf");
    QVERIFY(QTest::qWaitFor(
        [&] {
            keyToWindow(chart.id, QStringLiteral("alt"));
            key(QStringLiteral("Left"));
            key(QStringLiteral("Down"));
            key(QStringLiteral("Return"));
            return QTest::qWaitFor([&] { return documents.requestCount(path) > 0; }, 3000);
        },
        deadline));
    QCOMPARE(documents.requestCount(path), 1);
    QList<X11Window> shown;
    const bool maximised = QTest::qWaitFor(
        [&] {
            shown = windowsNamed(QStringLiteral("（出典：気象庁）$"));
            return !shown.isEmpty() && shown.first().rect.width() > screenSize().width() * 9 / 10;
        },
        deadline);
    if (!maximised) {
        for (const X11Window &w : windowsOfClass(QStringLiteral("tarnbeck")))
            qWarning(
                "window %s \"%s\" at %d,%d %dx%d", qPrintable(w.id),
                qPrintable(run(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), w.id})
                               .trimmed()),
                w.rect.x(), w.rect.y(), w.rect.width(), w.rect.height());
    }
    QVERIFY(maximised);
    // The entry's title, the source named at its end.
    QCOMPARE(windowsNamed(QStringLiteral("^ アジア太平洋地上天気図 \\(カラー\\)（出典：気象庁）$"))
                 .size(),
             1);

    // Shown maximised in the browser's PDF viewer: the stand-in's pale sea fills much of it.
    const QColor sea(236, 242, 247);
    const auto seaPixels = [&](const QImage &shot) {
        int near = 0;
        const QRect area = shown.first().rect & shot.rect();
        for (int y = area.top(); y <= area.bottom(); y += 2) {
            for (int x = area.left(); x <= area.right(); x += 2) {
                const QColor c = shot.pixelColor(x, y);
                near += qAbs(c.red() - sea.red()) < 8 && qAbs(c.green() - sea.green()) < 8 &&
                        qAbs(c.blue() - sea.blue()) < 8;
            }
        }
        return near;
    };
    int seen = 0;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     seen = seaPixels(screenshot(shotPath(QStringLiteral("shot"))));
                     return seen > shown.first().rect.width() * shown.first().rect.height() / 40;
                 },
                 deadline),
             qPrintable(QStringLiteral("%1 pixels of the chart's sea").arg(seen)));

    // The shown airport's briefing from the keyboard: the group 「航空気象」 is the menu's last
    // item, the briefing its last entry. The page asks for each of its charts.
    const QString fbjp = QStringLiteral("/airinfo/data/pict/fbjp/fbjp.png");
    QVERIFY(QTest::qWaitFor(
        [&] {
            keyToWindow(shown.first().id, QStringLiteral("alt"));
            for (const char *k : {"Left", "Down", "Up", "Right", "Up", "Return"})
                key(QLatin1String(k));
            return QTest::qWaitFor([&] { return documents.requestCount(fbjp) > 0; }, 3000);
        },
        deadline));
    QVERIFY(!waitForWindowsNamed(QStringLiteral("^ ブリーフィング .*（出典：気象庁）$"), deadline)
                 .isEmpty());
    for (const char *chart :
         {"/airinfo/data/pict/taf/QMCD98_", "/airinfo/data/pict/taf/QMCJ98_",
          "/airinfo/data/pict/low-level_sigwx/fb", "/airinfo/data/pict/nwp/fxjp106_"}) {
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         const QStringList asked = documents.requests();
                         return std::any_of(asked.begin(), asked.end(), [&](const QString &p) {
                             return p.startsWith(QLatin1String(chart));
                         });
                     },
                     deadline),
                 chart);
    }
    keyToWindow(shown.first().id, QStringLiteral("alt+F4"));
    QVERIFY(windowsGone(QStringLiteral("出典：気象庁"), deadline));
}

/// The first pixel of `area` that is not a blend of `desktop` and the text colour, or empty.
static QString foreignPixel(const QImage &shot, const QRect &area, const QColor &desktop)
{
    const auto between = [](int v, int a, int b) {
        return v >= qMin(a, b) - 2 && v <= qMax(a, b) + 2;
    };
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (!between(c.red(), desktop.red(), textColor.red()) ||
                !between(c.green(), desktop.green(), textColor.green()) ||
                !between(c.blue(), desktop.blue(), textColor.blue()))
                return QStringLiteral("%1 at %2,%3").arg(c.name()).arg(x).arg(y);
        }
    }
    return {};
}

void TestEndToEnd::smoothAndClickThroughUnderACompositor()
{
    if (!startCompositor())
        QSKIP("xcompmgr is missing");
    QCOMPARE(sql(QStringLiteral("UPDATE setting SET autochange = 0; SELECT changes();")),
             QStringLiteral("1"));
    start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());

    // The compositor draws the desktop; its colour is whatever shows far from any window.
    QImage shot;
    QColor desktop;
    ColorCount pixels;
    QVERIFY(QTest::qWaitFor(
        [&] {
            shot = screenshot(shotPath(QStringLiteral("shot")));
            desktop = shot.pixelColor(shot.width() - 2, shot.height() - 2);
            pixels = countColors(shot, window, textColor, desktop);
            return pixels.a > 50 && pixels.other > 300;
        },
        deadline));
    QVERIFY2(pixels.b > 2 * (pixels.a + pixels.other),
             "the desktop shows around and between the glyphs");
    // Smoothed edges are blends of text and desktop, never dark fringes.
    const QString foreign = foreignPixel(shot, window, desktop);
    QVERIFY2(foreign.isEmpty(), qPrintable(foreign));

    // The first line of text below the handle, and a gap between two of its words.
    const auto rowIsDesktop = [&](int y) {
        for (int x = window.left(); x <= window.right(); ++x) {
            if (shot.pixelColor(x, y) != desktop)
                return false;
        }
        return true;
    };
    int top = window.top() + 16;
    while (top < window.bottom() && rowIsDesktop(top))
        ++top;
    int bottom = top;
    while (bottom < window.bottom() && !rowIsDesktop(bottom + 1))
        ++bottom;
    const auto columnIsDesktop = [&](int x) {
        for (int y = top; y <= bottom; ++y) {
            if (shot.pixelColor(x, y) != desktop)
                return false;
        }
        return true;
    };
    QPoint gap;
    QPoint glyph;
    for (int x = window.left(), run = 0, textSeen = 0; x <= window.right() && gap.isNull(); ++x) {
        if (!columnIsDesktop(x)) {
            if (textSeen && run >= 4)
                gap = QPoint(x - run / 2 - 1, (top + bottom) / 2);
            textSeen = 1;
            run = 0;
            for (int y = top; y <= bottom && glyph.isNull(); ++y) {
                const QColor c = shot.pixelColor(x, y);
                const int off = qAbs(c.red() - textColor.red()) +
                                qAbs(c.green() - textColor.green()) +
                                qAbs(c.blue() - textColor.blue());
                if (off < 60) // a glyph's core, not its smoothed edge
                    glyph = QPoint(x, y);
            }
        } else {
            ++run;
        }
    }
    QVERIFY2(!gap.isNull() && !glyph.isNull(),
             qPrintable(QStringLiteral("line %1-%2").arg(top).arg(bottom)));
    QCOMPARE(windowUnderPointer(gap), rootWindow());
    QVERIFY(holdsWindowNamed(windowUnderPointer(glyph), QStringLiteral("Tarnbeck")));
    // The middle of the hollow square, found from its drawn outline.
    QRect outline;
    for (int y = window.top(); y < window.top() + 16; ++y) {
        for (int x = window.left(); x < window.left() + 20; ++x) {
            if (shot.pixelColor(x, y) != desktop)
                outline |= QRect(x, y, 1, 1);
        }
    }
    const QPoint square = outline.center();
    QCOMPARE(shot.pixelColor(square), desktop);
    QVERIFY(holdsWindowNamed(windowUnderPointer(square), QStringLiteral("Tarnbeck")));
    keepScreenshot(QStringLiteral("ticker-composited"), window.adjusted(-40, -30, 40, 30));

    // Dragged and opened from its square as before.
    drag(square, square - QPoint(150, 100));
    const QRect moved =
        waitForTicker([&](const QRect &r) { return r.topLeft() != window.topLeft(); });
    QVERIFY2((moved.topLeft() - (window.topLeft() - QPoint(150, 100))).manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(moved.x()).arg(moved.y())));
    const X11Window menu = openMenu(moved);
    QVERIFY(!menu.id.isEmpty());
    key(QStringLiteral("Escape"));
}

void TestEndToEnd::slideUnderACompositor()
{
    if (!startCompositor())
        QSKIP("xcompmgr is missing");
    QCOMPARE(sql(QStringLiteral("UPDATE setting SET autochange = -1, autochangerate = '10', "
                                "scroll = -1, scrollrate = 50; SELECT changes();")),
             QStringLiteral("1"));
    start();
    const QRect window = waitForTicker([](const QRect &r) { return r.height() > 100; });
    QVERIFY(!window.isNull());
    QImage first = screenshot(shotPath(QStringLiteral("shot")));
    const QColor desktop = first.pixelColor(first.width() - 2, first.height() - 2);

    // Two pictures during a slide: the second is the first moved up, text and blends only.
    const QRect text = window.adjusted(0, 20, 0, -20);
    const auto mismatches = [&](const QImage &a, const QImage &b, int up) {
        int count = 0;
        for (int y = text.top(); y + up <= text.bottom(); ++y) {
            for (int x = text.left(); x <= text.right(); ++x)
                count += a.pixel(x, y + up) != b.pixel(x, y);
        }
        return count;
    };
    int moved = 0;
    QString foreign;
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QImage second = screenshot(shotPath(QStringLiteral("shot")));
            for (int up = 1; up <= 40 && !moved; ++up) {
                if (mismatches(first, second, up) <= text.width() / 2 &&
                    countColors(second, text, textColor, desktop).a > 50)
                    moved = up;
            }
            if (moved) {
                foreign = foreignPixel(second, window, desktop);
                return true;
            }
            first = second;
            return false;
        },
        deadline));
    QVERIFY2(foreign.isEmpty(), qPrintable(foreign));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
