// The plugin's factory functions.
#include "web/WebWindowsPlugin.h"

#include "web/CameraWindow.h"
#include "web/ChartWindow.h"

QWidget *WebWindowsPlugin::createChartWindow(const SourceHosts &hosts, QWidget *parent)
{
    return new ChartWindow(hosts, {}, parent);
}

QDialog *WebWindowsPlugin::createCameraWindow(const SourceHosts &hosts, QWidget *owner)
{
    return new CameraWindow(hosts, owner);
}
