// A ticker above every window (it bypasses the window manager, as in a Wayland session through
// XWayland) covers none of the program's windows: it stands aside while one is shown where it
// stands, or is hidden where the screen has no room, and comes back to its place, which is never
// replaced by the place it was forced to.
#include "desktop/MessageBox.h"
#include "desktop/WindowPlacement.h"
#include "platform/Twips.h"
#include "support/TickerFixture.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>
#include <functional>

namespace {

using Opener = std::function<void(TickerSession &)>;

/// The program's shown top-level windows, menus and tips left out.
QList<QWidget *> shownWindows()
{
    QList<QWidget *> windows;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
            windows.append(w);
    }
    return windows;
}

/// Whether the ticker, as it shows, hides part of `window`.
bool covers(const TickerWindow &ticker, const QWidget &window)
{
    return ticker.isVisible() && ticker.geometry().intersects(window.frameGeometry());
}

} // namespace

Q_DECLARE_METATYPE(Opener)

class TestStandAside : public QObject
{
    Q_OBJECT

private slots:
    void clearPlace_data();
    void clearPlace();
    void initTestCase();
    void init();
    void cleanup();
    void windowsOpenedOverTheTickerAreNotCovered_data();
    void windowsOpenedOverTheTickerAreNotCovered();
    void noRoomHidesTheTickerUntilTheWindowsClose();
    void aDragWhileAsideMakesTheNewPlace();
    void aManagedTickerIsLeftToTheManager();

private:
    /// Loads a ticker at the middle of the screen (where every window of the program opens),
    /// bypassing the window manager when `bypassing`.
    TickerSession *load(bool bypassing = true);

    std::unique_ptr<TickerFixture> m_fixture;
    TickerSession *m_ticker = nullptr;
    QPoint m_home;
};

void TestStandAside::clearPlace_data()
{
    QTest::addColumn<QPoint>("home");
    QTest::addColumn<QList<QRect>>("windows");
    QTest::addColumn<QPoint>("expected");
    QTest::addColumn<bool>("found");
    const QList<QRect> dialog{QRect(300, 250, 400, 300)}; // x 300-699, y 250-549
    QTest::newRow("nothing in the way")
        << QPoint(350, 300) << QList<QRect>() << QPoint(350, 300) << true;
    QTest::newRow("beside a window") << QPoint(100, 300) << dialog << QPoint(100, 300) << true;
    // 78 pixels up against 250 down, 213 to the left and 350 to the right: up it goes.
    QTest::newRow("above, the nearest") << QPoint(350, 300) << dialog << QPoint(350, 222) << true;
    QTest::newRow("below, the nearest") << QPoint(350, 500) << dialog << QPoint(350, 550) << true;
    QTest::newRow("to the side, the nearest")
        << QPoint(660, 60) << QList<QRect>{QRect(300, 0, 400, 800)} << QPoint(700, 60) << true;
    QTest::newRow("no room") << QPoint(350, 300) << QList<QRect>{QRect(0, 0, 1000, 800)} << QPoint()
                             << false;
    QTest::newRow("no room between two windows")
        << QPoint(350, 300) << QList<QRect>{QRect(0, 0, 1000, 410), QRect(0, 420, 1000, 380)}
        << QPoint() << false;
}

void TestStandAside::clearPlace()
{
    QFETCH(QPoint, home);
    QFETCH(QList<QRect>, windows);
    QFETCH(QPoint, expected);
    QFETCH(bool, found);
    const std::optional<QPoint> place =
        ClearPlace(QRect(0, 0, 1000, 800), home, QSize(137, 28), windows);
    QCOMPARE(place.has_value(), found);
    if (found)
        QCOMPARE(*place, expected);
}

void TestStandAside::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display (run under xvfb-run)");
}

void TestStandAside::init()
{
    m_fixture = std::make_unique<TickerFixture>();
    QVERIFY(m_fixture->setTargets({{QStringLiteral("RJTT"), true}}));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    m_home = screen.center();
    QVERIFY(
        m_fixture->setSettings(QStringLiteral("autochange = 0, scroll = 0, posX = %1, posY = %2")
                                   .arg(pixelsToTwips(m_home.x()))
                                   .arg(pixelsToTwips(m_home.y()))));
}

void TestStandAside::cleanup()
{
    m_fixture.reset();
    m_ticker = nullptr;
}

TickerSession *TestStandAside::load(bool bypassing)
{
    // In a Wayland session the ticker bypasses the manager of XWayland's windows.
    if (bypassing)
        qputenv("WAYLAND_DISPLAY", "wayland-test");
    m_ticker = m_fixture->load();
    qunsetenv("WAYLAND_DISPLAY");
    if (!m_ticker || !m_fixture->refreshNow())
        return nullptr;
    TickerWindow &ticker = m_ticker->window();
    if (!QTest::qWaitForWindowExposed(&ticker) || ticker.geometry().topLeft() != m_home ||
        StandAside::bypassesManager(&ticker) != bypassing)
        return nullptr;
    return m_ticker;
}

void TestStandAside::windowsOpenedOverTheTickerAreNotCovered_data()
{
    QTest::addColumn<Opener>("open");
    QTest::newRow("設定") << Opener([](TickerSession &s) { s.menu().menu_setting_Click(); });
    QTest::newRow("拡張設定") << Opener([](TickerSession &s) { s.menu().menu_extended_Click(); });
    QTest::newRow("解読") << Opener([](TickerSession &s) { s.menu().menu_decode_Click(); });
    QTest::newRow("日出没時刻") << Opener([](TickerSession &s) { s.menu().menu_sunset_Click(); });
    QTest::newRow("message box") << Opener([](TickerSession &) {
        ShowMessage(nullptr, QMessageBox::Information, QStringLiteral(" Tarnbeck"),
                    QStringLiteral("Tarnbeck はすでに起動しています  "));
    });
}

void TestStandAside::windowsOpenedOverTheTickerAreNotCovered()
{
    QFETCH(Opener, open);
    QVERIFY(load());
    TickerWindow &ticker = m_ticker->window();
    const QList<QWidget *> before = shownWindows();
    open(*m_ticker);
    QPointer<QWidget> window;
    QTRY_VERIFY([&] {
        for (QWidget *w : shownWindows()) {
            if (!before.contains(w))
                window = w;
        }
        return window && QTest::qWaitForWindowExposed(window);
    }());
    // It opens where the ticker stands: the ticker steps out of its way, or out of sight.
    QTRY_VERIFY2(!covers(ticker, *window),
                 qPrintable(QDebug::toString(ticker.geometry()) + QStringLiteral(" covers ") +
                            QDebug::toString(window->frameGeometry())));
    QVERIFY(ticker.standsAside());
    // A new report meanwhile: the place that is saved is still the user's.
    QVERIFY(m_fixture->refreshNow());
    QVERIFY(!covers(ticker, *window));
    QCOMPARE(ticker.place(), m_home);
    const Settings saved = m_ticker->store().settings();
    QCOMPARE(twipsToPixels(saved.posX), m_home.x());
    QCOMPARE(twipsToPixels(saved.posY), m_home.y());

    window->close();
    QTRY_VERIFY(!ticker.standsAside());
    QVERIFY(ticker.isVisible());
    QCOMPARE(ticker.geometry().topLeft(), m_home);
}

void TestStandAside::noRoomHidesTheTickerUntilTheWindowsClose()
{
    QVERIFY(load());
    TickerWindow &ticker = m_ticker->window();
    // A chart window of tarnbeck-web over the whole screen, as its process tells it.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ticker.keepClearOf({screen});
    QTRY_VERIFY(!ticker.isVisible());
    QVERIFY(ticker.standsAside());
    QCOMPARE(ticker.place(), m_home);
    // A smaller one, once it is moved or restored: there is room again below it.
    ticker.keepClearOf({QRect(screen.left(), screen.top(), screen.width(), screen.height() / 3)});
    QTRY_VERIFY(ticker.isVisible());
    QCOMPARE(ticker.geometry().topLeft(), m_home);
    ticker.keepClearOf({screen.adjusted(0, 0, 0, -100)});
    QTRY_VERIFY(ticker.isVisible() && ticker.geometry().top() >= screen.bottom() - 100);
    QCOMPARE(ticker.geometry().left(), m_home.x());
    ticker.keepClearOf({});
    QTRY_COMPARE(ticker.geometry().topLeft(), m_home);
    QVERIFY(ticker.isVisible() && !ticker.standsAside());
}

void TestStandAside::aDragWhileAsideMakesTheNewPlace()
{
    QVERIFY(load());
    TickerWindow &ticker = m_ticker->window();
    m_ticker->menu().menu_decode_Click(); // not modal: the ticker can be dragged meanwhile
    QPointer<QDialog> decode = m_ticker->menu().decodeWindow();
    QVERIFY(decode);
    QTRY_VERIFY(ticker.standsAside() && !covers(ticker, *decode));
    QVERIFY2(ticker.isVisible(), "the screen has room beside the decode window");

    // The user puts it at the screen's top-left corner, clear of the window.
    const QPoint corner = QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(4, 4);
    m_fixture->dragHandle(corner - ticker.geometry().topLeft());
    QTRY_COMPARE(ticker.geometry().topLeft(), corner);
    QVERIFY(!ticker.standsAside());
    QCOMPARE(ticker.place(), corner);
    decode->close();
    QTRY_VERIFY(!decode);
    QTest::qWait(50);
    QCOMPARE(ticker.geometry().topLeft(), corner);
}

void TestStandAside::aManagedTickerIsLeftToTheManager()
{
    // On an X11 desktop the window manager keeps the program's windows above the ticker.
    QVERIFY(load(false));
    TickerWindow &ticker = m_ticker->window();
    m_ticker->menu().menu_extended_Click();
    QPointer<QDialog> extended = m_ticker->menu().modalWindow();
    QVERIFY(extended);
    QVERIFY(QTest::qWaitForWindowExposed(extended));
    QTest::qWait(50);
    QVERIFY(!ticker.standsAside());
    QCOMPARE(ticker.geometry().topLeft(), m_home);
    extended->close();
}

QTEST_MAIN(TestStandAside)
#include "test_standaside.moc"
