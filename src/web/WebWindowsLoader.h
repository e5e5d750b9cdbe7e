// Opens the chart and camera windows for the pop-up menu, loading their plugin on first use.
#pragma once

#include "web/WebWindows.h"

#include <QStringList>

/// Where the plugin is looked for: beside the executable, then the installed plugin directory.
QStringList WebPluginDirectories();

/// The plugin, or why it could not be loaded.
struct WebWindowsLoad
{
    WebWindows *windows = nullptr;
    QString error; ///< empty when `windows` is there
};

/// The plugin from the first of `directories` that holds a loadable one; loaded once per process
/// and kept.
WebWindowsLoad LoadWebWindows(const QStringList &directories);
WebWindowsLoad LoadWebWindows();

/// "天気図": opens the chart window (no owner, not modal), or brings the open one forward.
/// Returns false, after telling the user, when the plugin cannot be loaded.
bool ShowChartWindow(const SourceHosts &hosts, SourceEditor editor = {});
/// The chart window while it is open.
QWidget *OpenChartWindow();

/// Tells the open chart and camera windows of addresses just saved; loads nothing when none
/// has been opened.
void HostsChanged(const SourceHosts &hosts);

/// "ライブカメラ": the camera window, shown application-modal; it deletes itself when closed, so
/// connect to QDialog::finished to learn when. Nullptr, after telling the user, on failure.
QDialog *ShowCameraWindow(const SourceHosts &hosts, QWidget *owner, SourceEditor editor = {});
