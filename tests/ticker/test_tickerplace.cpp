// Where the ticker stands under a real window manager: its own place, never its frame's, and
// back there when a grown text that was pushed away fits again.
#include "../web/WindowManager.h"
#include "ticker/DragHandle.h"
#include "ticker/TickerWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

class TestTickerPlace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void placeIsTheWindowsOwn();
    void pushedAwayComesBackWhenItFits();

private:
    QProcess m_manager;
};

void TestTickerPlace::initTestCase()
{
    if (!StartWindowManager(m_manager))
        QSKIP("openbox is needed on this display");
}

void TestTickerPlace::cleanupTestCase()
{
    m_manager.kill();
    m_manager.waitForFinished();
}

void TestTickerPlace::placeIsTheWindowsOwn()
{
    // A window manager that frames the ticker all the same (as weston's XWayland does): the
    // place is where the window itself stands, inside the frame.
    QWidget framed;
    framed.resize(120, 40);
    DragHandle drag(&framed);
    const QPoint place(300, 200);
    drag.placeAt(place);
    framed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&framed));
    QTRY_COMPARE(framed.geometry().topLeft(), place);
    QVERIFY(framed.frameGeometry().topLeft() != place); // it has a frame
    QCOMPARE(drag.place(), place);
}

void TestTickerPlace::pushedAwayComesBackWhenItFits()
{
    TickerWindow ticker;
    ticker.setTextFont(10, false);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint place(screen.right() - 300, screen.top() + 200);
    ticker.showAt(place, place);
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    QTRY_COMPARE(ticker.geometry().topLeft(), place);

    // A line wider than the room to the edge: the window manager keeps it on the screen.
    ticker.showMessage(QString(120, QLatin1Char('X')));
    QVERIFY(ticker.width() > 300);
    if (!QTest::qWaitFor([&] { return ticker.geometry().left() < place.x(); }, 3000))
        QSKIP("this window manager leaves a grown window past the screen's edge");
    QCOMPARE(ticker.place(), place); // a forced place is not the user's

    ticker.showMessage(QStringLiteral("NO NETWORK CONNECTION"));
    QTRY_COMPARE(ticker.geometry().topLeft(), place);
}

QTEST_MAIN(TestTickerPlace)
#include "test_tickerplace.moc"
