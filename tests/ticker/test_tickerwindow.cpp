// The ticker window in process: load and close, the cycle's states, rotation and messages.
#include "desktop/MessageBox.h"
#include "platform/SqlDatabase.h"
#include "platform/Twips.h"
#include "report/LineWrap.h"
#include "support/TickerFixture.h"
#include "ticker/DragHandle.h"
#include "ticker/PopupMenu.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerView.h"
#include "ticker/TickerWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

namespace {

QVariant fileValue(const QString &path, const QString &sql)
{
    SqlDatabase db;
    if (!db.open(path, "pelko"))
        return {};
    SqlStatement q = db.prepare(sql);
    return q.next() ? q.value(0) : QVariant();
}

/// Background (alpha under half) of `image` joined to its border: 1 there, 0 in a counter or ink.
std::vector<uchar> OpenBackground(const QImage &image)
{
    const int w = image.width(), h = image.height();
    std::vector<uchar> open(size_t(w) * size_t(h));
    std::vector<QPoint> todo;
    const auto reach = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h && !open[size_t(y * w + x)] &&
            qAlpha(image.pixel(x, y)) < 128) {
            open[size_t(y * w + x)] = 1;
            todo.push_back({x, y});
        }
    };
    for (int x = 0; x < w; ++x) {
        reach(x, 0);
        reach(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        reach(0, y);
        reach(w - 1, y);
    }
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        reach(p.x() + 1, p.y());
        reach(p.x() - 1, p.y());
        reach(p.x(), p.y() + 1);
        reach(p.x(), p.y() - 1);
    }
    return open;
}

/// Background regions of `image` that ink (alpha of half or more) encloses: the counters of its
/// glyphs.
int EnclosedRegions(const QImage &image)
{
    const int w = image.width(), h = image.height();
    std::vector<uchar> seen = OpenBackground(image);
    int enclosed = 0;
    for (int sy = 0; sy < h; ++sy) {
        for (int sx = 0; sx < w; ++sx) {
            if (seen[size_t(sy * w + sx)] || qAlpha(image.pixel(sx, sy)) >= 128)
                continue;
            ++enclosed;
            std::vector<QPoint> todo{{sx, sy}};
            seen[size_t(sy * w + sx)] = 1;
            while (!todo.empty()) {
                const QPoint p = todo.back();
                todo.pop_back();
                for (const QPoint &n :
                     {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
                    if (n.x() >= 0 && n.y() >= 0 && n.x() < w && n.y() < h &&
                        !seen[size_t(n.y() * w + n.x())] && qAlpha(image.pixel(n)) < 128) {
                        seen[size_t(n.y() * w + n.x())] = 1;
                        todo.push_back(n);
                    }
                }
            }
        }
    }
    return enclosed;
}

} // namespace

class TestTickerWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void outlineKeepsCountersOpen_data();
    void outlineKeepsCountersOpen();
    void firstReportOneTickAfterTheCheck();
    void rotationSkipsUncheckedAndWraps();
    void noNetworkThenRecovery();
    void emptiedTargetList();
    void narrowerTextKeepsWidthUntilSlideEnds();
    void positionWrittenOnlyWhenMoved();
    void startCounterAtExit_data();
    void startCounterAtExit();
    void noTargetsAtStart();
    void noneCheckedAtStart();
    void closeDuringAFetch();
    void pauseAndHurryDuringABuild();
    void secondInstanceIsRefused();
    void unlockableFolderIsNamed_data();
    void unlockableFolderIsNamed();
    void unusableDatabaseIsReported();
    void startPosition();
    void placeOnAMissingScreenIsKept();
    void textSettingsAndShape();
    void rotationKeepsListOrderAfterTheMenu();
    void pauseFinishesASlide();
    void longLinesWrapAtTheScreenEdge();
    void handleHollowWhenThePointerLeaves();
    void everyRightPressOnTheHandleAsksForTheMenu_data();
    void everyRightPressOnTheHandleAsksForTheMenu();
    void handleShowsTheCategoryOfTheTextShown();
    void outlineRingsEveryGlyph_data();
    void outlineRingsEveryGlyph();

private:
    /// A loaded ticker whose first build waits on a server that never answers.
    TickerSession *loadWithAHangingBuild();

    std::unique_ptr<TickerFixture> m_fixture;
};

void TestTickerWindow::initTestCase()
{
    // The offscreen platform keeps the shape without applying it; say so once, not per step.
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.contains(QLatin1String("does not support setting window masks")))
                previous(type, context, text);
        });
}

void TestTickerWindow::init()
{
    m_fixture = std::make_unique<TickerFixture>();
    for (const QString &code : {QStringLiteral("RJTT"), QStringLiteral("RJAA"),
                                QStringLiteral("RJBB"), QStringLiteral("RJCC")})
        m_fixture->serveMetar(code, QStringLiteral("151230Z 34008KT 9999 FEW030 08/M02 Q1021"));
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = 0, scroll = 0")));
}

TickerSession *TestTickerWindow::loadWithAHangingBuild()
{
    m_fixture->server().setRoute(QStringLiteral("/data/observations/metar/stations/RJTT.TXT"),
                                 {200, {}, LoopbackHttpServer::Behaviour::NeverAnswer, {}});
    TickerSession *ticker = m_fixture->load();
    if (!ticker)
        return nullptr;
    ticker->cycle().setSlideCount(0);
    ticker->cycle().RefreshReport();
    return ticker->reportBuilder().isBuilding() ? ticker : nullptr;
}

void TestTickerWindow::cleanup()
{
    m_fixture.reset();
}

void TestTickerWindow::firstReportOneTickAfterTheCheck()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QCOMPARE(ticker->cycle().slidePeriod(), qint16(1));
    QCOMPARE(ticker->cycle().clock().interval(CycleClock::RefreshClock), 1000);
    QVERIFY(ticker->menu().menu().menu_weather()->isEnabled());

    // The first tick reaches the period of 1: the first target is built and shown.
    ticker->cycle().setSlideCount(0);
    QSignalSpy built(&ticker->reportBuilder(), &ReportBuilder::finished);
    ticker->cycle().RefreshReport();
    QVERIFY(built.wait(5000));
    const QString shown = ticker->window().lbl(TickerView::Display)->caption();
    QVERIFY2(shown.startsWith(QStringLiteral("RJTT METAR 1230Z\r 151230Z")), qPrintable(shown));
    QVERIFY(shown.endsWith(QLatin1Char('\r'))); // an empty last line
    QVERIFY(ticker->window().lbl(TickerView::Display)->isVisible());
    QVERIFY(!ticker->window().lbl(TickerView::Staging)->isVisible());
    // Sliding off: the same airport again after 60 ticks, a network check first.
    QCOMPARE(ticker->cycle().slidePeriod(), qint16(60));
    QCOMPARE(ticker->cycle().currentAirport(), QStringLiteral("RJTT"));
    QVERIFY(ticker->cycle().isActive(CycleClock::NetworkCheck) ||
            ticker->cycle().isCheckingNetwork());
    // The window fits the text below the handle.
    QCOMPARE(ticker->window().height(), ticker->window().lbl(TickerView::Display)->height() +
                                            ticker->window().lbl(TickerView::Handle)->height());
    QCOMPARE(ticker->window().width(), ticker->window().lbl(TickerView::Display)->width());
}

void TestTickerWindow::rotationSkipsUncheckedAndWraps()
{
    QVERIFY(m_fixture->setTargets({{QStringLiteral("RJAA"), true},
                                   {QStringLiteral("RJBB"), false},
                                   {QStringLiteral("RJCC"), true}}));
    QVERIFY(m_fixture->setSettings(
        QStringLiteral("autochange = -1, scroll = 0, autochangerate = '30'")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        QVERIFY(m_fixture->refreshNow());
        shown.append(ticker->window().lbl(TickerView::Display)->caption().left(4));
        QCOMPARE(ticker->cycle().slidePeriod(), qint16(30));
        ticker->cycle().clock().stop(CycleClock::NetworkCheck);
    }
    QCOMPARE(shown, (QStringList{"RJAA", "RJCC", "RJAA", "RJCC"}));
    // Sliding without scrolling goes straight back to the network check.
    QVERIFY(!ticker->window().isSliding());
}

void TestTickerWindow::noNetworkThenRecovery()
{
    m_fixture->server().setRoute(QStringLiteral("/ident.dat"),
                                 {200, {}, LoopbackHttpServer::Behaviour::CloseAtOnce, {}});
    TickerSession *ticker = m_fixture->start();
    QVERIFY(ticker);
    QTRY_COMPARE_WITH_TIMEOUT(ticker->window().lbl(TickerView::Display)->caption(),
                              QStringLiteral("NO NETWORK CONNECTION"), 5000);
    QVERIFY(ticker->window().lbl(TickerView::Display)->isVisible());
    PopupMenu &menu = ticker->menu().menu();
    for (QAction *item : {menu.menu_airport()->menuAction(), menu.menu_slide(), menu.menu_scroll(),
                          menu.menu_weather(), menu.menu_setting()})
        QVERIFY2(!item->isEnabled(), qPrintable(item->objectName()));
    for (QAction *item :
         {menu.menu_sunset(), menu.menu_camera(), menu.menu_version(), menu.menu_end()})
        QVERIFY2(item->isEnabled(), qPrintable(item->objectName()));
    QVERIFY(ticker->cycle().isActive(CycleClock::NetworkCheck));
    QCOMPARE(ticker->cycle().checkInterval(), 5000);
    QVERIFY(!ticker->cycle().isActive(CycleClock::RefreshClock));

    // Any answer with a body counts, an error page included.
    m_fixture->server().setRoute(QStringLiteral("/ident.dat"),
                                 {404, "<html>not here</html>", {}, {}});
    ticker->cycle().CheckNetwork();
    QTRY_VERIFY_WITH_TIMEOUT(ticker->cycle().isActive(CycleClock::RefreshClock), 5000);
    QCOMPARE(ticker->cycle().checkInterval(), 1);
    QVERIFY(menu.menu_setting()->isEnabled());
    QVERIFY(!menu.menu_scroll()->isEnabled()); // sliding is off
    ticker->cycle().clock().stop(CycleClock::RefreshClock);
    QVERIFY(m_fixture->refreshNow());
    QVERIFY(ticker->window()
                .lbl(TickerView::Display)
                ->caption()
                .startsWith(QStringLiteral("RJTT METAR")));
}

void TestTickerWindow::emptiedTargetList()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(ticker->store().ReplaceTargets({}));
    ticker->cycle().clock().start(CycleClock::RefreshClock, 1000);
    ticker->cycle().RefreshReport();
    QCOMPARE(ticker->window().lbl(TickerView::Display)->caption(),
             QStringLiteral("NO TARGET AIRPORT"));
    QVERIFY(!ticker->cycle().isActive(CycleClock::RefreshClock));
    QCOMPARE(ticker->cycle().slideCount(), qint16(0));
    QCOMPARE(ticker->window().width(), qMax(ticker->window().lbl(TickerView::Display)->width(),
                                            ticker->window().lbl(TickerView::Handle)->width()));
}

void TestTickerWindow::narrowerTextKeepsWidthUntilSlideEnds()
{
    QVERIFY(
        m_fixture->setTargets({{QStringLiteral("RJTT"), true}, {QStringLiteral("RJAA"), true}}));
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = -1, scroll = -1")));
    m_fixture->serveMetar(
        QStringLiteral("RJTT"),
        QStringLiteral("151230Z 34008KT 9999 FEW030 BKN045 BKN100 08/M02 Q1021 NOSIG"));
    m_fixture->serveMetar(QStringLiteral("RJAA"), QStringLiteral("151230Z CAVOK"));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    TickerLabel *display = ticker->window().lbl(TickerView::Display);
    TickerLabel *staging = ticker->window().lbl(TickerView::Staging);

    QVERIFY(m_fixture->refreshNow()); // the wide RJTT text widens the window at once
    QVERIFY(ticker->window().isSliding());
    QCOMPARE(ticker->window().width(), staging->width());
    while (ticker->window().isSliding())
        ticker->window().SlideStep();
    const int wide = ticker->window().width();
    QVERIFY(display->caption().startsWith(QStringLiteral("RJTT")));
    ticker->cycle().clock().stop(CycleClock::NetworkCheck);

    QVERIFY(m_fixture->refreshNow()); // the narrow RJAA text
    QCOMPARE(ticker->window().width(), wide);
    int steps = 0;
    int lastTop = display->y();
    while (ticker->window().isSliding()) {
        ticker->window().SlideStep();
        ++steps;
        if (ticker->window().isSliding()) {
            QCOMPARE(display->y(), lastTop - twipsToPixels(15)); // one pixel a step
            QCOMPARE(staging->y(), display->y() + display->height());
            QCOMPARE(ticker->window().width(), wide);
            lastTop = display->y();
        }
    }
    QVERIFY(steps > 1);
    QVERIFY(display->caption().startsWith(QStringLiteral("RJAA")));
    QVERIFY(!staging->isVisible());
    QCOMPARE(display->y(), ticker->window().lbl(TickerView::Handle)->height());
    QVERIFY(ticker->window().width() < wide);
    QVERIFY(ticker->cycle().isActive(CycleClock::NetworkCheck));
}

void TestTickerWindow::positionWrittenOnlyWhenMoved()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(m_fixture->refreshNow());
    const double left = pixelsToTwips(ticker->window().x());
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT posX FROM setting")).toDouble(),
        left);

    // Behind the store's back: an unmoved window must not write again.
    QVERIFY(m_fixture->db().execute(QStringLiteral("UPDATE setting SET posX = 777")));
    QVERIFY(m_fixture->refreshNow());
    QCOMPARE(fileValue(m_fixture->db().path(), QStringLiteral("SELECT posX FROM setting")).toInt(),
             777);

    // The user's drag is saved, from the point pressed: the window moved exactly as the
    // pointer did, its first movement included.
    const QPoint before = ticker->window().pos();
    m_fixture->dragHandle(QPoint(46, 37));
    QCOMPARE(ticker->window().pos(), before + QPoint(46, 37));
    QVERIFY(m_fixture->refreshNow());
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT posX FROM setting")).toDouble(),
        pixelsToTwips(ticker->window().x()));

    // A place the window manager forces (a grown window pushed back onto the screen) is not
    // the user's: neither a refresh nor the exit stores it.
    ticker->window().move(0, ticker->window().y());
    QVERIFY(m_fixture->refreshNow());
    ticker->window().close();
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT posX FROM setting")).toDouble(),
        pixelsToTwips(before.x() + 46));
}

void TestTickerWindow::startCounterAtExit_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("99: no compaction") << 99 << 100;
    QTest::newRow("100: reset and compact") << 100 << 0;
}

void TestTickerWindow::startCounterAtExit()
{
    QFETCH(int, before);
    QFETCH(int, after);
    QVERIFY(m_fixture->setSettings(QStringLiteral("startup = %1").arg(before)));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QSignalSpy exited(ticker, &TickerSession::exited);
    m_fixture->dragHandle(QPoint(123, 45) - ticker->window().pos());
    ticker->window().close();
    QCOMPARE(exited.size(), 1);
    QVERIFY(!ticker->store().isOpen());
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT startup FROM setting")).toInt(),
        after);
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT posX FROM setting")).toDouble(),
        123.0 * 15);
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT posY FROM setting")).toDouble(),
        45.0 * 15);
    QVERIFY(!QFile::exists(m_fixture->db().directory() + QStringLiteral("/tarnbeck_tmp.dat")));
}

void TestTickerWindow::noTargetsAtStart()
{
    QVERIFY(m_fixture->setTargets({}));
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = -1, scroll = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT autochange FROM setting")).toInt(),
        0);
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT scroll FROM setting")).toInt(), 0);
    ticker->cycle().RefreshReport();
    QCOMPARE(ticker->window().lbl(TickerView::Display)->caption(),
             QStringLiteral("NO TARGET AIRPORT"));
}

void TestTickerWindow::noneCheckedAtStart()
{
    QVERIFY(
        m_fixture->setTargets({{QStringLiteral("RJBB"), false}, {QStringLiteral("RJAA"), false}}));
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = -1, scroll = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(!ticker->cycle().anyChecked());
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT autochange FROM setting")).toInt(),
        -1);
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT scroll FROM setting")).toInt(), 0);
    // The first row is shown although unchecked; with nothing to rotate to it stays.
    QVERIFY(m_fixture->refreshNow());
    QVERIFY(
        ticker->window().lbl(TickerView::Display)->caption().startsWith(QStringLiteral("RJBB")));
    QCOMPARE(ticker->cycle().currentAirport(), QStringLiteral("RJBB"));
}

void TestTickerWindow::closeDuringAFetch()
{
    TickerSession *ticker = loadWithAHangingBuild();
    QVERIFY(ticker);
    QTRY_VERIFY(m_fixture->server().requests().contains(
        QStringLiteral("/data/observations/metar/stations/RJTT.TXT")));
    QCOMPARE(m_fixture->server().unansweredOpen(), 1);
    ticker->window().close();
    QVERIFY(!ticker->reportBuilder().isBuilding());
    QVERIFY(!ticker->store().isOpen());
    // The fetch is really given up: the server sees its connection closed well before the
    // fetch's own deadline (6 s), so no answer can come late; what the abort queued is
    // delivered before the cycle is looked at.
    (void)QTest::qWaitFor([&] { return m_fixture->server().unansweredOpen() == 0; }, 3000);
    QCOMPARE(m_fixture->server().unansweredOpen(), 0);
    QCoreApplication::sendPostedEvents();
    QVERIFY(!ticker->cycle().isActive(CycleClock::NetworkCheck));
}

void TestTickerWindow::pauseAndHurryDuringABuild()
{
    TickerSession *ticker = loadWithAHangingBuild();
    QVERIFY(ticker);

    ticker->cycle().pause(); // Paused: nothing runs, and nothing restarts by itself
    QVERIFY(!ticker->reportBuilder().isBuilding());
    QVERIFY(!m_fixture->anyCycleTimerActive());

    // A hurry for another airport shows that airport, never the dropped one.
    ticker->cycle().chooseAirport(QStringLiteral("RJAA"));
    QTRY_VERIFY_WITH_TIMEOUT(ticker->cycle().isActive(CycleClock::RefreshClock), 5000);
    ticker->cycle().clock().stop(CycleClock::RefreshClock);
    QVERIFY(m_fixture->refreshNow());
    QVERIFY(ticker->window()
                .lbl(TickerView::Display)
                ->caption()
                .startsWith(QStringLiteral("RJAA METAR 1230Z")));
}

void TestTickerWindow::secondInstanceIsRefused()
{
    TickerSession *first = m_fixture->load();
    QVERIFY(first);
    QList<ShownMessage> shown;
    const MessageSink sink([&](const ShownMessage &m) { shown.append(m); });
    TickerSession second(m_fixture->db().directory());
    QVERIFY(!second.Form_Load());
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().title, QStringLiteral(" 確認"));
    QCOMPARE(shown.first().text, QStringLiteral("Tarnbeck はすでに起動しています  "));
    QCOMPARE(shown.first().icon, QMessageBox::Information);
    second.close(); // touches nothing
    QVERIFY(first->store().isOpen());
    QVERIFY(m_fixture->refreshNow());
}

void TestTickerWindow::unlockableFolderIsNamed_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing") << QStringLiteral("/nonexistent/tarnbeck");
    QTest::newRow("not writable, even for root") << QStringLiteral("/proc/self");
}

void TestTickerWindow::unlockableFolderIsNamed()
{
    QFETCH(QString, folder);
    QList<ShownMessage> shown;
    const MessageSink sink([&](const ShownMessage &m) { shown.append(m); });
    TickerSession ticker(folder);
    QVERIFY(!ticker.Form_Load());
    QCOMPARE(shown.size(), 1);
    // Nothing else runs: the message says what is wrong instead.
    QVERIFY(!shown.first().text.contains(QStringLiteral("すでに起動")));
    QVERIFY2(shown.first().text.contains(folder), qPrintable(shown.first().text));
    QCOMPARE(shown.first().icon, QMessageBox::Critical);
}

void TestTickerWindow::unusableDatabaseIsReported()
{
    QVERIFY(QFile::remove(m_fixture->db().path()));
    QList<ShownMessage> shown;
    const MessageSink sink([&](const ShownMessage &m) { shown.append(m); });
    TickerSession ticker(m_fixture->db().directory());
    QVERIFY(!ticker.Form_Load());
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().text.contains(m_fixture->db().path()));
    QVERIFY(!QFile::exists(m_fixture->db().path()));
}

void TestTickerWindow::startPosition()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(DragHandle::defaultPosition(),
             screen.topLeft() + QPoint(screen.width() / 2, screen.height() / 2));
    QCOMPARE(DragHandle::startPosition(0, 0), DragHandle::defaultPosition());
    QCOMPARE(DragHandle::startPosition(1500, 3000), QPoint(100, 200));
    // Only one coordinate stored: the other takes the centre.
    QCOMPARE(DragHandle::startPosition(1500, 0).x(), 100);
    // Partly on the screen: kept as stored.
    const float edge = float(pixelsToTwips(screen.right() - 10));
    QCOMPARE(DragHandle::startPosition(edge, 1500).x(), screen.right() - 10);
    // Wholly off every screen (a monitor removed): placed as on a first run.
    QCOMPARE(DragHandle::startPosition(float(pixelsToTwips(screen.right() + 500)), 1500),
             DragHandle::defaultPosition());
    QCOMPARE(DragHandle::startPosition(-60000, -60000), DragHandle::defaultPosition());
}

void TestTickerWindow::placeOnAMissingScreenIsKept()
{
    // Saved on a monitor that is unplugged now: shown at the centre, the saved place kept.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const float far = float(pixelsToTwips(screen.right() + 400));
    QVERIFY(m_fixture->setSettings(QStringLiteral("posX = %1, posY = 1500").arg(far)));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QCOMPARE(ticker->window().pos(), DragHandle::defaultPosition());
    QVERIFY(m_fixture->refreshNow());
    ticker->window().close();
    QCOMPARE(
        fileValue(m_fixture->db().path(), QStringLiteral("SELECT posX FROM setting")).toFloat(),
        far);
    QCOMPARE(fileValue(m_fixture->db().path(), QStringLiteral("SELECT posY FROM setting")).toInt(),
             1500);
}

void TestTickerWindow::textSettingsAndShape()
{
    // Pure red was the colour key once: here it is just a colour.
    QVERIFY(m_fixture->setSettings(
        QStringLiteral("forecolor = 255, fontsize = '14', \"update\" = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    for (int i : {0, 1, 2}) {
        QCOMPARE(ticker->window().lbl(i)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(ticker->window().lbl(i)->font().pointSize(), 14);
        QVERIFY(ticker->window().lbl(i)->font().bold());
        QCOMPARE(ticker->window().lbl(i)->textFormat(), Qt::PlainText);
    }
    QCOMPARE(ticker->window().lbl(TickerView::Display)->y(),
             ticker->window().lbl(TickerView::Handle)->height());

    m_fixture->serveMetar(QStringLiteral("RJTT"), QStringLiteral("<b>bold</b>"));
    QVERIFY(m_fixture->refreshNow());
    // The window is shaped to the drawn text: glyph pixels in, the gaps between lines out.
    const QRegion shape = ticker->window().mask();
    QVERIFY(!shape.isEmpty());
    QVERIFY(shape.boundingRect().width() <= ticker->window().width());
    const TickerLabel *display = ticker->window().lbl(TickerView::Display);
    const QRect lastLine(0, display->y() + display->height() - 3, ticker->window().width(), 2);
    QVERIFY(!shape.intersects(lastLine)); // the empty last line lets the pointer through
    // Without a compositor the pointer is taken exactly where the window is shown, and the
    // whole handle square is both.
    QVERIFY(!ticker->window().composited());
    QCOMPARE(ticker->window().inputShape(), shape);
    QCOMPARE(ticker->window().visibleShape(), shape);
    const TickerLabel *handle = ticker->window().lbl(TickerView::Handle);
    QVERIFY(shape.contains(handle->textRegion().boundingRect().translated(handle->pos())));
    QVERIFY(display->text().contains(QStringLiteral("<b>bold</b>"))); // data, never markup

    // A long line is never cut: a word too long for the screen keeps its whole width.
    const QString longWord(300, QLatin1Char('X'));
    m_fixture->serveMetar(QStringLiteral("RJTT"), QStringLiteral("151230Z ") + longWord);
    QVERIFY(m_fixture->refreshNow());
    const int longWidth = QFontMetrics(display->font())
                              .horizontalAdvance(QLatin1String(continuationIndent) + longWord);
    QVERIFY2(display->width() >= longWidth,
             qPrintable(QStringLiteral("%1 < %2").arg(display->width()).arg(longWidth)));
    QCOMPARE(ticker->window().width(), display->width());

    // The handle follows the pointer.
    ticker->window().setPointerOnHandle(true);
    ticker->window().ShowHandleState();
    QCOMPARE(ticker->window().lbl(TickerView::Handle)->caption(), QStringLiteral("■"));
    ticker->window().setPointerOnHandle(false);
    ticker->window().ShowHandleState();
    QCOMPARE(ticker->window().lbl(TickerView::Handle)->caption(), QStringLiteral("□"));
}

void TestTickerWindow::rotationKeepsListOrderAfterTheMenu()
{
    QVERIFY(m_fixture->setTargets({{QStringLiteral("RJTT"), true},
                                   {QStringLiteral("RJAA"), true},
                                   {QStringLiteral("RJBB"), true}}));
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = -1, scroll = 0")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QStringList shown;
    for (int i = 0; i < 5; ++i) {
        QVERIFY(m_fixture->refreshNow());
        shown.append(ticker->window().lbl(TickerView::Display)->caption().left(4));
        ticker->cycle().clock().stop(CycleClock::NetworkCheck);
        if (i == 1) { // the menu opened and dismissed while RJAA shows
            ticker->window().showPopupMenu(QPoint(10, 10));
            ticker->menu().menu().menu()->hide();
            // The steps after the menu, queued by its hiding, run before the next refresh.
            QCoreApplication::sendPostedEvents();
            QVERIFY(ticker->cycle().isActive(CycleClock::NetworkCheck));
        }
    }
    QCOMPARE(shown, (QStringList{"RJTT", "RJAA", "RJBB", "RJTT", "RJAA"}));
}

void TestTickerWindow::pauseFinishesASlide()
{
    QVERIFY(
        m_fixture->setTargets({{QStringLiteral("RJTT"), true}, {QStringLiteral("RJAA"), true}}));
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = -1, scroll = -1")));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(m_fixture->refreshNow());
    ticker->window().SlideStep();
    QVERIFY(ticker->window().isSliding());
    // The settings window opens mid-slide: the new text is shown whole, never left half-way.
    ticker->cycle().pause();
    const TickerLabel *display = ticker->window().lbl(TickerView::Display);
    QVERIFY(display->caption().startsWith(QStringLiteral("RJTT METAR")));
    QCOMPARE(display->y(), ticker->window().lbl(TickerView::Handle)->height());
    QVERIFY(!ticker->window().lbl(TickerView::Staging)->isVisible());
    QVERIFY(!ticker->window().isSliding());
}

void TestTickerWindow::longLinesWrapAtTheScreenEdge()
{
    QStringList groups;
    for (int i = 0; i < 40; ++i)
        groups.append(QStringLiteral("FEW0%1").arg(10 + i));
    const QString report = QStringLiteral("151230Z ") + groups.join(QLatin1Char(' '));
    m_fixture->serveMetar(QStringLiteral("RJTT"), report);
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QVERIFY(m_fixture->refreshNow());
    const TickerLabel *display = ticker->window().lbl(TickerView::Display);
    const QRect screen = ticker->window().screen()->availableGeometry();
    // Nothing past the screen's edge, every group still there, continued after six blanks.
    QVERIFY2(ticker->window().x() + display->width() <= screen.right() + 1,
             qPrintable(QStringLiteral("%1 + %2").arg(ticker->window().x()).arg(display->width())));
    const QString caption = display->caption();
    QVERIFY(caption.contains(QStringLiteral("\r      FEW0")));
    QCOMPARE(caption.simplified().remove(QStringLiteral("RJTT METAR 1230Z ")), report.simplified());
}

void TestTickerWindow::handleHollowWhenThePointerLeaves()
{
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QWidget *handle = ticker->window().lbl(TickerView::Handle);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), handle->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(handle, &enter);
    QTRY_COMPARE(ticker->window().lbl(TickerView::Handle)->caption(), QStringLiteral("■"));
    // Straight off the window, not over a text: hollow again.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(handle, &leave);
    QTRY_COMPARE(ticker->window().lbl(TickerView::Handle)->caption(), QStringLiteral("□"));
}

void TestTickerWindow::handleShowsTheCategoryOfTheTextShown()
{
    QVERIFY(m_fixture->setSettings(QStringLiteral("autochange = -1, scroll = -1")));
    QVERIFY(m_fixture->db().execute(QStringLiteral(
        "INSERT OR REPLACE INTO option (name, value) VALUES ('showcategory', '1')")));
    m_fixture->serveMetar(QStringLiteral("RJAA"),
                          QStringLiteral("151230Z 34008KT 2000 BR OVC008 08/M02 Q1021"));
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    TickerWindow &window = ticker->window();
    const TickerLabel *handle = window.lbl(TickerView::Handle);
    const auto colour = [&] {
        return handle->palette().color(QPalette::WindowText);
    };
    const QColor text = window.lbl(TickerView::Display)->palette().color(QPalette::WindowText);

    QVERIFY(m_fixture->refreshNow()); // RJTT, VFR, sliding in
    window.finishSlide();
    QCOMPARE(handle->caption(), QString::fromUtf8(TickerView::handleFilled));
    QCOMPARE(colour(), window.handleColor(FlightCategory::VFR));
    // RJAA's IFR slides in: the handle keeps RJTT's green until RJAA's text is shown.
    QVERIFY(m_fixture->refreshNow());
    window.SlideStep();
    QCOMPARE(colour(), window.handleColor(FlightCategory::VFR));
    window.finishSlide();
    QCOMPARE(colour(), window.handleColor(FlightCategory::IFR));
    // The pointer on it: filled in the text colour; a message: the plain hollow square.
    window.setPointerOnHandle(true);
    window.ShowHandleState();
    QCOMPARE(colour(), text);
    QCOMPARE(handle->caption(), QString::fromUtf8(TickerView::handleFilled));
    window.setPointerOnHandle(false);
    window.ShowHandleState();
    window.showMessage(QStringLiteral("NO NETWORK CONNECTION"));
    QCOMPARE(handle->caption(), QString::fromUtf8(TickerView::handleHollow));
    QCOMPARE(colour(), text);
}

void TestTickerWindow::outlineRingsEveryGlyph_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<bool>("smoothed");
    QTest::addColumn<QColor>("edge");
    QTest::newRow("yellow, whole pixels") << QColor(255, 255, 0) << false << QColor(Qt::black);
    QTest::newRow("yellow, smoothed") << QColor(255, 255, 0) << true << QColor(Qt::black);
    QTest::newRow("white") << QColor(Qt::white) << false << QColor(Qt::black);
    QTest::newRow("navy") << QColor(0, 0, 128) << false << QColor(Qt::white);
    QTest::newRow("pure red") << QColor(255, 0, 0) << true << QColor(Qt::black);
}

void TestTickerWindow::outlineRingsEveryGlyph()
{
    QFETCH(QColor, text);
    QFETCH(bool, smoothed);
    QFETCH(QColor, edge);
    QWidget window;
    TickerView view(&window);
    view.setTextFont(12, false, smoothed);
    view.setTextColor(text);
    TickerLabel *label = view.display();
    label->setCaption(QStringLiteral("RJTT 1230Z gjq|\r ■□"));
    const QImage plain = label->image();
    view.setOutlined(true);
    const QImage outlined = label->image();
    QCOMPARE(outlined.size(), plain.size() + QSize(2, 2)); // room for the edge all round

    // Each glyph pixel as it was, one pixel right and down; every clear pixel beside a glyph
    // drawn in the edge colour, but in a counter, which stays open, and across the mouth of a
    // bay the edge would close, which are few; nothing further out.
    const auto glyphAlpha = [&](int x, int y) {
        return plain.rect().contains(x - 1, y - 1) ? qAlpha(plain.pixel(x - 1, y - 1)) : 0;
    };
    const std::vector<uchar> open = OpenBackground(plain);
    const auto inCounter = [&](int x, int y) {
        return plain.rect().contains(x - 1, y - 1) &&
               !open[size_t((y - 1) * plain.width() + x - 1)];
    };
    int edgePixels = 0;
    int mouthPixels = 0;
    for (int y = 0; y < outlined.height(); ++y) {
        for (int x = 0; x < outlined.width(); ++x) {
            const QColor shown = outlined.pixelColor(x, y);
            const int glyph = glyphAlpha(x, y);
            if (glyph == 255) {
                QCOMPARE(shown, text);
                continue;
            }
            int beside = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx)
                    beside = qMax(beside, glyphAlpha(x + dx, y + dy));
            }
            if (!smoothed)
                QVERIFY(shown.alpha() == 0 || shown.alpha() == 255); // a bounding shape's pixels
            if (beside == 0) {
                QCOMPARE(shown.alpha(), 0);
            } else if (glyph == 0) {
                if (shown.alpha() == 0) {
                    mouthPixels += !inCounter(x, y);
                    continue;
                }
                QCOMPARE(shown.alpha(), beside);
                QCOMPARE(shown.rgb(), edge.rgb());
                ++edgePixels;
            }
        }
    }
    QVERIFY(edgePixels > 200);
    QVERIFY2(mouthPixels * 20 <= edgePixels, qPrintable(QString::number(mouthPixels)));
    view.setOutlined(false);
    QCOMPARE(label->image(), plain);
}

void TestTickerWindow::everyRightPressOnTheHandleAsksForTheMenu_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("a press") << int(QEvent::MouseButtonPress);
    QTest::newRow("a press soon after the last (a double click)")
        << int(QEvent::MouseButtonDblClick);
}

void TestTickerWindow::everyRightPressOnTheHandleAsksForTheMenu()
{
    QFETCH(int, type);
    TickerSession *ticker = m_fixture->load();
    QVERIFY(ticker);
    QSignalSpy asked(&ticker->window(), &TickerWindow::popupRequested);
    QWidget *handle = ticker->window().lbl(TickerView::Handle);
    QMouseEvent press(QEvent::Type(type), QPointF(3, 3), handle->mapToGlobal(QPointF(3, 3)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &press);
    QCOMPARE(asked.size(), 1);
}

QTEST_MAIN(TestTickerWindow)
void TestTickerWindow::outlineKeepsCountersOpen_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("smooth");
    for (int points = 8; points <= 12; ++points) {
        QTest::addRow("%d pt", points) << points << true;
        QTest::addRow("%d pt, without a compositor", points) << points << false;
    }
}

void TestTickerWindow::outlineKeepsCountersOpen()
{
    // 0, 4, 6, 8 and 9 keep their counters under the edge, or "8" reads "3" and "0" a blot.
    QFETCH(int, points);
    QFETCH(bool, smooth);
    QWidget window;
    TickerView view(&window);
    view.setTextFont(points, false, smooth);
    view.setTextColor(Qt::yellow);
    int counters = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        view.setOutlined(false);
        view.display()->setCaption(QString(QLatin1Char(digit)));
        const int plain = EnclosedRegions(view.display()->image());
        view.setOutlined(true);
        QVERIFY2(EnclosedRegions(view.display()->image()) == plain,
                 qPrintable(QString(QLatin1Char(digit))));
        counters += plain;
    }
    QCOMPARE(counters, 6); // one in 0, 4, 6 and 9, two in 8
}

#include "test_tickerwindow.moc"
