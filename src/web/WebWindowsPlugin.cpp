// The plugin's factory functions.
#include "web/WebWindowsPlugin.h"

#include "web/CameraWindow.h"
#include "web/ChartWindow.h"

QWidget *WebWindowsPlugin::createChartWindow(const SourceHosts &hosts, QWidget *parent)
{
    auto *window = new ChartWindow(hosts, {}, parent);
    window->setSourceEditor(m_sourceEditor);
    connect(this, &WebWindowsPlugin::hostsSaved, window, &ChartWindow::setHosts);
    return window;
}

QDialog *WebWindowsPlugin::createCameraWindow(const SourceHosts &hosts, QWidget *owner)
{
    auto *window = new CameraWindow(hosts, owner);
    window->setSourceEditor(m_sourceEditor);
    connect(this, &WebWindowsPlugin::hostsSaved, window, &CameraWindow::setHosts);
    return window;
}
