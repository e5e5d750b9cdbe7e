// The plugin as the program uses it: loaded on demand from beside the executable, one chart window.
#include "DocumentServer.h"
#include "web/WebWindowsLoader.h"

#include <QApplication>
#include <QDialog>
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
    // Before anything loads the plugin: a successful load is kept for the whole process.
    void missingOrBrokenPluginIsReported();
    void tickerDoesNotLinkTheBrowserEngine();
    void loadsFromBesideTheExecutable();
    void chartWindowOpensOnceAndComesForward();
    void cameraWindowIsModalAndDiscardedOnClose();

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
}

void TestWebPlugin::missingOrBrokenPluginIsReported()
{
    QTemporaryDir empty;
    QString error;
    QVERIFY(!LoadWebWindows({empty.path()}, &error));
    QVERIFY2(error.contains(empty.path()), qPrintable(error));

    QTemporaryDir broken;
    const QString name = QFileInfo(QStringLiteral(TARNBECK_WEB_PLUGIN)).fileName();
    QFile junk(broken.filePath(name));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();
    error.clear();
    QVERIFY(!LoadWebWindows({broken.path()}, &error));
    QVERIFY2(!error.isEmpty(), qPrintable(error));
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
    QString error;
    QVERIFY2(LoadWebWindows(&error), qPrintable(error));
    QVERIFY(error.isEmpty());
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

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestWebPlugin test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_webplugin.moc"
