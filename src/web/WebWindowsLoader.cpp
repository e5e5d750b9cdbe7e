// Loading the web windows' plugin: busy pointer, the sandbox under root, one chart window.
#include "web/WebWindowsLoader.h"

#include "platform/GraphicsContext.h"
#include "platform/MessageBox.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QPointer>

namespace {

WebWindows *loaded = nullptr;
QPointer<QWidget> chartWindow;

class BusyPointer final
{
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;
};

void tellCannotLoad(const QString &error)
{
    ShowMessage(nullptr, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
                QStringLiteral("天気図とライブカメラの部品 (%1) を読み込めませんでした。\n\n%2")
                    .arg(QStringLiteral(TARNBECK_WEB_PLUGIN_FILE), error));
}

/// Loads the plugin and makes a window under the busy pointer; tells the user when it cannot.
template <typename Make> auto createWith(Make make) -> decltype(make(nullptr))
{
    WebWindowsLoad load;
    {
        BusyPointer busy;
        load = LoadWebWindows();
        if (load.windows)
            return make(load.windows);
    }
    tellCannotLoad(load.error);
    return nullptr;
}

} // namespace

QStringList WebPluginDirectories()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {here,
            QDir::cleanPath(here + QLatin1Char('/') + QStringLiteral(TARNBECK_WEB_PLUGIN_RELDIR))};
}

WebWindowsLoad LoadWebWindows(const QStringList &directories)
{
    if (loaded)
        return {loaded, {}};
    // The browser's sandbox cannot run as root, and the browser refuses to start with it on.
    if (RunningAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine lists its whole graphics set-up on every start; QT_LOGGING_RULES, which
    // overrides these rules, still brings the list back for whoever wants it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    EnsureSharedGraphicsContext();

    QStringList reasons;
    for (const QString &directory : directories) {
        const QString file = QDir(directory).filePath(QStringLiteral(TARNBECK_WEB_PLUGIN_FILE));
        if (!QFileInfo::exists(file))
            continue;
        QPluginLoader loader(file);
        QObject *instance = loader.instance();
        if (auto *windows = qobject_cast<WebWindows *>(instance)) {
            loaded = windows; // the loader is never unloaded: the browser engine cannot restart
            return {loaded, {}};
        }
        reasons.append(instance ? QStringLiteral("%1: 部品の形式が違います").arg(file)
                                : loader.errorString());
    }
    if (reasons.isEmpty())
        reasons.append(
            QStringLiteral("見つかりません: %1").arg(directories.join(QStringLiteral(", "))));
    return {nullptr, reasons.join(QLatin1Char('\n'))};
}

WebWindowsLoad LoadWebWindows()
{
    return LoadWebWindows(WebPluginDirectories());
}

bool ShowChartWindow(const SourceHosts &hosts, SourceEditor editor)
{
    if (chartWindow) {
        chartWindow->setWindowState(chartWindow->windowState() & ~Qt::WindowMinimized);
        chartWindow->show();
        chartWindow->raise();
        chartWindow->activateWindow();
        return true;
    }
    chartWindow = createWith([&](WebWindows *windows) {
        windows->setSourceEditor(std::move(editor));
        return windows->createChartWindow(hosts, nullptr);
    });
    return chartWindow != nullptr;
}

QWidget *OpenChartWindow()
{
    return chartWindow;
}

void HostsChanged(const SourceHosts &hosts)
{
    if (loaded)
        loaded->hostsChanged(hosts);
}

QDialog *ShowCameraWindow(const SourceHosts &hosts, QWidget *owner, SourceEditor editor)
{
    QDialog *camera = createWith([&](WebWindows *windows) {
        windows->setSourceEditor(std::move(editor));
        return windows->createCameraWindow(hosts, owner);
    });
    if (camera)
        camera->show();
    return camera;
}
