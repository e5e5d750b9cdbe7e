// The chart and camera windows as the executable sees them: the interface their plugin implements.
#pragma once

#include <QHash>
#include <QString>
#include <QtPlugin>

class QDialog;
class QWidget;

/// Host addresses by source name ("chart1" → "https://…"), as stored in the table `host`.
using SourceHosts = QHash<QString, QString>;

class WebWindows
{
public:
    virtual ~WebWindows() = default;
    /// The chart window, loaded and already shown; it deletes itself when closed.
    virtual QWidget *createChartWindow(const SourceHosts &hosts, QWidget *parent) = 0;
    /// The camera window, loaded, application-modal, not yet shown; it deletes itself when closed.
    virtual QDialog *createCameraWindow(const SourceHosts &hosts, QWidget *owner) = 0;
};

#define TarnbeckWebWindows_iid "org.tarnbeck.WebWindows/1"
Q_DECLARE_INTERFACE(WebWindows, TarnbeckWebWindows_iid)
