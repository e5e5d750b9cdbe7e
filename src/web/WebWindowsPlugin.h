// The plugin tarnbeck_web: makes the chart and camera windows for the executable.
#pragma once

#include "web/WebWindows.h"

#include <QObject>

class WebWindowsPlugin final : public QObject, public WebWindows
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TarnbeckWebWindows_iid)
    Q_INTERFACES(WebWindows)
public:
    QWidget *createChartWindow(const SourceHosts &hosts, QWidget *parent) override;
    QDialog *createCameraWindow(const SourceHosts &hosts, QWidget *owner) override;
    void setSourceEditor(SourceEditor editor) override { m_sourceEditor = std::move(editor); }
    void hostsChanged(const SourceHosts &hosts) override { emit hostsSaved(hosts); }

signals:
    /// Reaches every window still open.
    void hostsSaved(const SourceHosts &hosts);

private:
    SourceEditor m_sourceEditor;
};
