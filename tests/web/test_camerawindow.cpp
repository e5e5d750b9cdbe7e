// The camera window on a real display, against a loopback server standing in for the cameras.
#include "DocumentServer.h"
#include "WebTestSupport.h"
#include "desktop/WindowPlacement.h"
#include "platform/Twips.h"
#include "web/CameraWindow.h"

#include <QMenuBar>
#include <QPointer>
#include <QScreen>

class TestCameraWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void opensOnShinChitoseAtDesignSize();
    void eachAirport_data();
    void eachAirport();
    void akitaThenSapporoHeights();
    void firstReloadSixtyTicksAfterChoice_data();
    void firstReloadSixtyTicksAfterChoice();
    void reopeningStartsAfresh();
    void cameraWithoutHostShowsLocalPage();
    void missingImageShowsJapanesePage();
    void imageShowsWholeFromTheTopLeft_data();
    void imageShowsWholeFromTheTopLeft();

private:
    CameraWindow *open(const SourceHosts &hosts);
    CameraWindow *open() { return open(hostsOn(m_server.baseUrl())); }
    void choose(const char *control);
    QString url(const QString &path) const { return m_server.baseUrl().toString() + path; }

    DocumentServer m_server;
    DisplayProgram m_windowManager{QStringLiteral("openbox")};
    QWidget m_ticker; ///< the camera window's owner, in a corner of the screen
    QPointer<CameraWindow> m_window;
};

CameraWindow *TestCameraWindow::open(const SourceHosts &hosts)
{
    m_window = new CameraWindow(hosts, &m_ticker);
    m_window->show();
    return m_window;
}

void TestCameraWindow::choose(const char *control)
{
    QAction *item = m_window->menuBar()->findChild<QAction *>(QLatin1String(control));
    QVERIFY2(item, control);
    item->trigger();
}

void TestCameraWindow::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    QVERIFY(m_server.start());
    if (!StartWindowManager(m_windowManager))
        qWarning("no window manager: the frame is not tested");
    SetAnchorWindow(&m_ticker);
    m_ticker.setWindowFlag(Qt::FramelessWindowHint);
    m_ticker.setGeometry(0, 0, 160, 80);
    m_ticker.show();
}

void TestCameraWindow::cleanup()
{
    m_server.restoreImage();
    m_server.setMissing({});
    if (m_window) {
        m_window->close();
        QTRY_VERIFY(m_window.isNull());
    }
}

void TestCameraWindow::opensOnShinChitoseAtDesignSize()
{
    CameraWindow *window = open();
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
    QCOMPARE(window->windowTitle(), QStringLiteral("新千歳空港"));
    QCOMPARE(window->cameraUrl(), url(QStringLiteral("/k1/cameraimg/shinchitose_L.jpg")));
    QTRY_COMPARE(m_server.requestCount(QStringLiteral("/k1/cameraimg/shinchitose_L.jpg")), 1);
    // Below the menu bar the browser's width and the camera's height less caption and menu bar,
    // all of it the browser.
    QWidget *client = window->browser()->parentWidget();
    QCOMPARE(SizeText(client->size()),
             SizeText(QSize(twipsToPixels(10215), twipsToPixels(6600 - 695))));
    QCOMPARE(client->y(), window->menuBar()->geometry().bottom() + 1);
    // Centred on the screen with the frame the window manager draws, not on the ticker.
    const QRect screen = window->screen()->geometry();
    QTRY_COMPARE(window->frameGeometry().topLeft(),
                 QPoint((screen.width() - window->frameGeometry().width()) / 2,
                        (screen.height() - window->frameGeometry().height()) / 2));
    QCOMPARE(SizeText(window->browser()->size()), SizeText(client->size()));

    const QList<QAction *> items = window->menuBar()->actions();
    QCOMPARE(items.size(), 11);
    for (QAction *item : items)
        QVERIFY2(!item->menu(), qPrintable(item->text())); // plain items, no submenus
}

void TestCameraWindow::eachAirport_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("height");
    const auto row = [](int index, const char *caption, const char *control, const char *path,
                        int height) {
        QTest::addRow("%s", control)
            << index << QString::fromUtf8(caption) << QString::fromLatin1(control)
            << QString::fromLatin1(path) << height;
    };
    row(0, "新千歳空港", "menu_shinnchitose", "/k1/cameraimg/shinchitose_L.jpg", 6600);
    row(1, "札幌", "menu_sapporo", "/k1/cameraimg/sapporo_L.jpg", 6600);
    row(2, "旭川", "menu_asahikawa", "/k1/cameraimg/asahikawa_L.jpg", 6600);
    row(3, "函館", "menu_hakodate", "/k1/cameraimg/hakodate_L.jpg", 6600);
    row(4, "帯広", "menu_obihiro", "/k1/cameraimg/obihiro_L.jpg", 6600);
    row(5, "釧路", "menu_kushiro", "/k1/cameraimg/kushiro_L.jpg", 6600);
    row(6, "仙台空港", "menu_sendai", "/k2/liveimage/live-sendai-east.jpg", 8400);
    row(7, "福島空港", "menu_fukushima", "/k3/kukouoffice/photo1.jpg", 8400);
    row(8, "秋田空港", "menu_akita", "/k4/img/camera.php", 8400);
    row(9, "小松空港", "menu_komatsu", "/k5/-wvhttp-01-/GetOneShot", 8400);
    row(10, "広島空港", "menu_hiroshima", "/k6/HIROSHIMA-AIRPORT/camera.jpg", 8400);
}

void TestCameraWindow::eachAirport()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, control);
    QFETCH(QString, path);
    QFETCH(int, height);
    CameraWindow *window = open();
    QAction *item = window->menuBar()->actions().value(index);
    QVERIFY(item);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->objectName(), control);
    const int width = window->width();
    const int before = m_server.requestCount(path);
    item->trigger();
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->cameraUrl(), url(path));
    QTRY_VERIFY(m_server.requestCount(path) > before);
    QTRY_COMPARE(window->browser()->parentWidget()->height(), twipsToPixels(height - 695));
    QCOMPARE(window->width(), width);
}

void TestCameraWindow::akitaThenSapporoHeights()
{
    CameraWindow *window = open();
    choose("menu_akita");
    QCOMPARE(window->windowTitle(), QStringLiteral("秋田空港"));
    QCOMPARE(window->cameraUrl(), url(QStringLiteral("/k4/img/camera.php")));
    QWidget *client = window->browser()->parentWidget();
    QTRY_COMPARE(client->height(), twipsToPixels(8400 - 695));
    choose("menu_sapporo");
    QCOMPARE(window->windowTitle(), QStringLiteral("札幌"));
    QTRY_COMPARE(client->height(), twipsToPixels(6600 - 695));
    // The browser is all that shows below the menu bar, whatever the camera.
    QCOMPARE(SizeText(window->browser()->size()), SizeText(client->size()));
}

void TestCameraWindow::firstReloadSixtyTicksAfterChoice_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("path");
    QTest::newRow("another airport")
        << QByteArray("menu_hiroshima") << QStringLiteral("/k6/HIROSHIMA-AIRPORT/camera.jpg");
    QTest::newRow("same airport again")
        << QByteArray("menu_shinnchitose") << QStringLiteral("/k1/cameraimg/shinchitose_L.jpg");
}

void TestCameraWindow::firstReloadSixtyTicksAfterChoice()
{
    QFETCH(QByteArray, control);
    QFETCH(QString, path);
    CameraWindow *window = open();
    // The test's ticks are the clock; a slow load must not let the real one tick in between.
    window->findChild<QTimer *>(QStringLiteral("Timer"))->setInterval(3600 * 1000);
    // A minute passes between reloads: each image has come before the next is asked for.
    QSignalSpy loaded(window->browser(), &QWebEngineView::loadFinished);
    const auto imageCame = [&] {
        const bool came = QTest::qWaitFor([&] { return !loaded.isEmpty(); }, 15000);
        loaded.clear();
        return came;
    };
    QVERIFY(imageCame());
    QSignalSpy reloads(window, &CameraWindow::reloaded);
    for (int i = 0; i < 45; ++i)
        window->Timer_Timer();
    const int before = m_server.requestCount(path);
    choose(control.constData());
    QCOMPARE(window->cameraTicks(), 0);
    QTRY_COMPARE(m_server.requestCount(path), before + 1); // loaded at once, even if shown
    QVERIFY(imageCame());

    for (int i = 0; i < 59; ++i)
        window->Timer_Timer();
    QCOMPARE(reloads.count(), 0);
    window->Timer_Timer();
    QCOMPARE(reloads.count(), 1);
    QCOMPARE(window->cameraTicks(), 0);
    QTRY_COMPARE(m_server.requestCount(path), before + 2);
    QVERIFY(imageCame());

    // Without a choice, every further minute.
    for (int i = 0; i < 60; ++i)
        window->Timer_Timer();
    QCOMPARE(reloads.count(), 2);
    QTRY_COMPARE(m_server.requestCount(path), before + 3);
}

void TestCameraWindow::reopeningStartsAfresh()
{
    CameraWindow *window = open();
    const QSize design = window->frameGeometry().size();
    choose("menu_komatsu");
    for (int i = 0; i < 30; ++i)
        window->Timer_Timer();
    window->close();
    QTRY_VERIFY(m_window.isNull()); // discarded on close

    window = open();
    QCOMPARE(window->windowTitle(), QStringLiteral("新千歳空港"));
    QCOMPARE(window->cameraUrl(), url(QStringLiteral("/k1/cameraimg/shinchitose_L.jpg")));
    QCOMPARE(window->cameraTicks(), 0);
    QCOMPARE(SizeText(window->frameGeometry().size()), SizeText(design));
}

void TestCameraWindow::cameraWithoutHostShowsLocalPage()
{
    SourceHosts hosts = hostsOn(m_server.baseUrl());
    hosts.insert(QStringLiteral("camera4"), QString());
    CameraWindow *window = open(hosts);
    choose("menu_akita");
    QCOMPARE(window->windowTitle(), QStringLiteral("秋田空港"));
    const QString text = WaitForPageText(window->browser(), QStringLiteral("camera4"));
    QVERIFY2(text.contains(QStringLiteral("ライブカメラの配信元 4")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("設定されていません")), qPrintable(text));
    QTRY_COMPARE(window->browser()->parentWidget()->height(), twipsToPixels(8400 - 695));
}

void TestCameraWindow::missingImageShowsJapanesePage()
{
    const QString path = QStringLiteral("/k2/liveimage/live-sendai-east.jpg");
    m_server.setMissing({path});
    CameraWindow *window = open();
    QSignalSpy reloads(window, &CameraWindow::reloaded);
    choose("menu_sendai");
    QString text = WaitForPageText(window->browser(), QStringLiteral("読み込めませんでした"));
    QVERIFY2(text.contains(QStringLiteral("HTTP 404")), qPrintable(text));
    QVERIFY2(text.contains(url(path)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("仙台空港")), qPrintable(text));
    QCOMPARE(window->windowTitle(), QStringLiteral("仙台空港"));
    // Back at the next reload: the image itself is asked for again.
    m_server.setMissing({});
    for (int i = 0; i < 60; ++i)
        window->Timer_Timer();
    QCOMPARE(reloads.count(), 1);
    QTRY_COMPARE(m_server.requestCount(path), 2);
    QTRY_VERIFY(!WaitForPageText(window->browser(), QString(), 2000)
                     .contains(QStringLiteral("読み込めませんでした")));
}

void TestCameraWindow::imageShowsWholeFromTheTopLeft_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<int>("windowHeight"); // twips, the camera's own
    QTest::addColumn<QSize>("image");
    // Below the menu bar the window shows 394 pixels for the first six cameras, 514 for the
    // others.
    QTest::newRow("fits") << QByteArray("menu_akita") << 8400 << QSize(680, 440);
    QTest::newRow("small") << QByteArray("menu_hiroshima") << 8400 << QSize(320, 240);
    QTest::newRow("taller than the window")
        << QByteArray("menu_sapporo") << 6600 << QSize(680, 440);
    QTest::newRow("wider than the window") << QByteArray("menu_sendai") << 8400 << QSize(900, 300);
}

void TestCameraWindow::imageShowsWholeFromTheTopLeft()
{
    QFETCH(QByteArray, control);
    QFETCH(int, windowHeight);
    QFETCH(QSize, image);
    m_server.setImage(TwoColourPicture::png(image), "image/png");
    CameraWindow *window = open();
    choose(control.constData());
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The browser is what shows below the menu bar, once the window has taken the camera's size.
    QWidget *client = window->browser()->parentWidget();
    QTRY_COMPARE(client->height(), twipsToPixels(windowHeight - 695));
    QCOMPARE(window->browser()->geometry(), client->rect());
    const QRect place = TwoColourPicture::placeIn(image, client->size());
    QTRY_COMPARE_WITH_TIMEOUT(TwoColourPicture::fault(window->browser()->grab().toImage(), place),
                              QString(), 15000);
}

TARNBECK_WEB_TEST_MAIN(TestCameraWindow)
#include "test_camerawindow.moc"
