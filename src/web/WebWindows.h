// The chart and camera windows as the executable sees them: the interface their plugin implements.
#pragma once

#include <QHash>
#include <QString>
#include <QtPlugin>
#include <functional>

class QDialog;
class QWidget;

/// Host addresses by source name, as stored in the table `host`.
using SourceHosts = QHash<QString, QString>;
/// Lets the user set the address of the source `hostName` (the window "拡張設定" at its row);
/// `saved` runs with every address once the user has saved them.
using SourceEditor =
    std::function<void(const QString &hostName, std::function<void(const SourceHosts &)> saved)>;

class WebWindows
{
public:
    virtual ~WebWindows() = default;
    /// The chart window, loaded and already shown; it deletes itself when closed.
    virtual QWidget *createChartWindow(const SourceHosts &hosts, QWidget *parent) = 0;
    /// The camera window, loaded, application-modal, not yet shown; it deletes itself when closed.
    virtual QDialog *createCameraWindow(const SourceHosts &hosts, QWidget *owner) = 0;
    /// How the windows' page for a source without an address lets the user set one.
    virtual void setSourceEditor(SourceEditor editor) = 0;
    /// Every address, just saved: each open window shows its document from its new host.
    virtual void hostsChanged(const SourceHosts &hosts) = 0;
};

#define TarnbeckWebWindows_iid "org.tarnbeck.WebWindows/3"
Q_DECLARE_INTERFACE(WebWindows, TarnbeckWebWindows_iid)
