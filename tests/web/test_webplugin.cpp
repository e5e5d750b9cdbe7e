// The plugin as the program uses it: loaded on demand from beside the executable, one chart window.
#include "DocumentServer.h"
#include "settings/ExtendedSettingsWindow.h"
#include "support/TickerFixture.h"
#include "web/WebWindowsLoader.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QOpenGLContext>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

/// Every message the process has printed since the test started, with its category.
QStringList printed;
QtMessageHandler previousHandler = nullptr;

void record(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    printed.append(QLatin1String(context.category) + QLatin1String(": ") + message);
    previousHandler(type, context, message);
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

int chartWindowsOpen()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->objectName() == QLatin1String("chart") && widget->isVisible();
    return count;
}

} // namespace

class TestWebPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void noGraphicsDriverBeforeAWebWindow();
    // Before anything loads the plugin: a successful load is kept for the whole process.
    void missingOrBrokenPluginIsReported();
    void tickerDoesNotLinkTheBrowserEngine();
    void loadsFromBesideTheExecutable();
    void chartWindowOpensOnceAndComesForward();
    void cameraWindowIsModalAndDiscardedOnClose();
    void openWindowsFollowSavedAddresses();
    void saveFromTheTickersMenuReachesTheChart();
    void engineStartedWithoutAWord();

private:
    DocumentServer m_server;
    SourceHosts m_hosts;
};

void TestWebPlugin::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display (run under xvfb-run)");
    QVERIFY(m_server.start());
    for (int source = 1; source <= 9; ++source)
        m_hosts.insert(QStringLiteral("chart%1").arg(source), m_server.baseUrl().toString());
    for (int source = 1; source <= 6; ++source)
        m_hosts.insert(QStringLiteral("camera%1").arg(source), m_server.baseUrl().toString());
    previousHandler = qInstallMessageHandler(record);
}

void TestWebPlugin::noGraphicsDriverBeforeAWebWindow()
{
    // The ticker runs all day; the driver costs it tens of MB. Addresses saved while no web
    // window was ever open load nothing either.
    HostsChanged(m_hosts);
    QCOMPARE(graphicsDriverFiles(), QStringList());
}

void TestWebPlugin::missingOrBrokenPluginIsReported()
{
    QTemporaryDir empty;
    WebWindowsLoad load = LoadWebWindows({empty.path()});
    QVERIFY(!load.windows);
    QVERIFY2(load.error.contains(empty.path()), qPrintable(load.error));

    QTemporaryDir broken;
    const QString name = QFileInfo(QStringLiteral(TARNBECK_WEB_PLUGIN)).fileName();
    QFile junk(broken.filePath(name));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    load = LoadWebWindows({broken.path()});
    QVERIFY(!load.windows);
    QVERIFY2(!load.error.isEmpty(), qPrintable(load.error));
}

void TestWebPlugin::tickerDoesNotLinkTheBrowserEngine()
{
    if (QStandardPaths::findExecutable(QStringLiteral("ldd")).isEmpty())
        QSKIP("ldd is missing");
    const QString ticker = run(QStringLiteral("ldd"), {QStringLiteral(TARNBECK_BINARY)});
    QVERIFY(ticker.contains(QLatin1String("libQt6Widgets")));
    QVERIFY2(!ticker.contains(QLatin1String("libQt6WebEngine")), qPrintable(ticker));
    // The same check sees the engine where it belongs.
    const QString plugin = run(QStringLiteral("ldd"), {QStringLiteral(TARNBECK_WEB_PLUGIN)});
    QVERIFY2(plugin.contains(QLatin1String("libQt6WebEngineCore")), qPrintable(plugin));

    // The plugin carries none of the program's own libraries (their statics would be doubled).
    if (QStandardPaths::findExecutable(QStringLiteral("nm")).isEmpty())
        QSKIP("nm is missing");
    const QString symbols =
        run(QStringLiteral("nm"), {QStringLiteral("-C"), QStringLiteral("--defined-only"),
                                   QStringLiteral(TARNBECK_WEB_PLUGIN)});
    QVERIFY(symbols.contains(QLatin1String("ChartWindow::ShowChart")));
    for (const char *foreign : {"ShowMessage(", "OpenSettings", "SqlDatabase::", "TickerWindow::"})
        QVERIFY2(!symbols.contains(QLatin1String(foreign)), foreign);
}

void TestWebPlugin::loadsFromBesideTheExecutable()
{
    QCOMPARE(QFileInfo(QStringLiteral(TARNBECK_WEB_PLUGIN)).absolutePath(),
             QCoreApplication::applicationDirPath());
    const WebWindowsLoad load = LoadWebWindows();
    QVERIFY2(load.windows, qPrintable(load.error));
    QVERIFY(load.error.isEmpty());
    if (::geteuid() == 0)
        QCOMPARE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("1"));
}

void TestWebPlugin::chartWindowOpensOnceAndComesForward()
{
    QVERIFY(!OpenChartWindow());
    QVERIFY(ShowChartWindow(m_hosts));
    QPointer<QWidget> first = OpenChartWindow();
    QVERIFY(first);
    QVERIFY(first->isVisible());
    QVERIFY(!first->isModal());
    QVERIFY(!first->parentWidget());
    QVERIFY(first->windowTitle().startsWith(QStringLiteral(" 天気のツボ")));
    QVERIFY(!QApplication::overrideCursor()); // the busy pointer is gone again

    // Choosing "天気図" again brings the same window forward.
    QVERIFY(ShowChartWindow(m_hosts));
    QCOMPARE(OpenChartWindow(), first.data());
    QCOMPARE(chartWindowsOpen(), 1);

    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(!OpenChartWindow());
    QVERIFY(ShowChartWindow(m_hosts));
    QVERIFY(OpenChartWindow());
    QCOMPARE(chartWindowsOpen(), 1);
    QPointer<QWidget> second = OpenChartWindow();
    second->close();
    QTRY_VERIFY(second.isNull());
}

void TestWebPlugin::cameraWindowIsModalAndDiscardedOnClose()
{
    QPointer<QDialog> camera = ShowCameraWindow(m_hosts, nullptr);
    QVERIFY(camera);
    QVERIFY(camera->isVisible());
    QCOMPARE(camera->windowModality(), Qt::ApplicationModal);
    QCOMPARE(camera->windowTitle(), QStringLiteral("新千歳空港"));
    QCOMPARE(QApplication::activeModalWidget(), camera.data());
    QTRY_VERIFY(m_server.requestCount(QStringLiteral("/cameraimg/shinchitose_L.jpg")) > 0);
    QSignalSpy finished(camera.data(), &QDialog::finished);
    camera->close();
    QCOMPARE(finished.count(), 1);
    QTRY_VERIFY(camera.isNull());
}

void TestWebPlugin::openWindowsFollowSavedAddresses()
{
    QVERIFY(ShowChartWindow(m_hosts));
    QPointer<QWidget> chart = OpenChartWindow();
    QPointer<QDialog> camera = ShowCameraWindow(m_hosts, nullptr);
    QVERIFY(chart && camera);
    const QString image = QStringLiteral("/cameraimg/shinchitose_L.jpg");
    QTRY_VERIFY(m_server.requestCount(image) > 0);

    // Saved in "拡張設定" opened from the ticker's menu, not through the windows' own link.
    SourceHosts moved;
    for (auto host = m_hosts.cbegin(); host != m_hosts.cend(); ++host)
        moved.insert(host.key(), host.value() + QStringLiteral("/moved"));
    HostsChanged(moved);
    QTRY_COMPARE(m_server.requestCount(QStringLiteral("/moved") + image), 1);
    const auto chartMoved = [&] {
        const QStringList requests = m_server.requests();
        return std::any_of(requests.begin(), requests.end(), [](const QString &path) {
            return path.startsWith(QLatin1String("/moved/imagedata/tubo/"));
        });
    };
    QTRY_VERIFY(chartMoved());

    camera->close();
    chart->close();
    QTRY_VERIFY(camera.isNull() && chart.isNull());
    HostsChanged(m_hosts); // reaches no window that has gone
}

void TestWebPlugin::saveFromTheTickersMenuReachesTheChart()
{
    TickerFixture fixture;
    QVERIFY(
        fixture.db().execute(QStringLiteral("UPDATE host SET url = '%1' WHERE name LIKE 'chart%'")
                                 .arg(m_server.baseUrl().toString())));
    QVERIFY(fixture.load());
    TickerMenu &menu = fixture.ticker()->menu();
    menu.menu_weather_Click();
    QPointer<QWidget> chart = OpenChartWindow();
    QVERIFY(chart);

    // "拡張設定..." from the menu, not the chart's own link.
    menu.menu_extended_Click();
    auto *settings = qobject_cast<ExtendedSettingsWindow *>(menu.modalWindow());
    QVERIFY(settings);
    settings->address(QStringLiteral("chart2"))
        ->setText(m_server.baseUrl().toString() + QStringLiteral("/saved"));
    QVERIFY(settings->save());
    const auto chartMoved = [&] {
        const QStringList requests = m_server.requests();
        return std::any_of(requests.begin(), requests.end(), [](const QString &path) {
            return path.startsWith(QLatin1String("/saved/imagedata/tubo/"));
        });
    };
    QTRY_VERIFY(chartMoved());

    settings->close();
    chart->close();
    QTRY_VERIFY(chart.isNull());
}

void TestWebPlugin::engineStartedWithoutAWord()
{
    // Both windows have been open: the engine has started with its shared context.
    QVERIFY(QOpenGLContext::globalShareContext() &&
            QOpenGLContext::globalShareContext()->isValid());
    QVERIFY(!graphicsDriverFiles().isEmpty());
    // Asked for through QT_LOGGING_RULES, the engine's own report is printed.
    const bool reportWanted = qEnvironmentVariableIsSet("QT_LOGGING_RULES");
    for (const QString &message : std::as_const(printed)) {
        QVERIFY2(!message.contains(QLatin1String("AA_ShareOpenGLContexts")), qPrintable(message));
        QVERIFY2(reportWanted || !message.startsWith(QLatin1String("qt.webenginecontext")),
                 qPrintable(message));
    }
}

// As the program starts: nothing set up for the browser engine before the application exists.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestWebPlugin test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_webplugin.moc"
