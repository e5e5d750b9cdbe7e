// The ticker's side of the chart and camera windows: their process (tarnbeck-web) started on first
// use, told what to show, and its faults told to the user without harm to the ticker.
#pragma once

#include "web/WebProtocol.h"

#include <QDialog>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

class QProcess;
class QScreen;

class WebWindowsProcess final : public QObject
{
    Q_OBJECT
public:
    explicit WebWindowsProcess(QObject *parent = nullptr);
    /// Ends the process, as end() does.
    ~WebWindowsProcess() override;

    /// Where tarnbeck-web is looked for: beside the program, then in its installed folder.
    static QStringList programCandidates();
    /// The program started from now on instead of the first candidate that exists.
    void setProgram(const QString &path) { m_program = path; }

    /// "天気図": the chart window, or the open one brought forward; `targets` for its menu
    /// "気象庁", the airport shown now marked.
    void showChart(const SourceHosts &hosts, const QList<ChartTarget> &targets, QScreen *screen);
    /// "ライブカメラ": the camera window. The ticker waits for the stand-in returned, which
    /// finishes when the window closes or its process ends. Null, after telling the user, when
    /// the process cannot be started.
    QDialog *showCamera(const SourceHosts &hosts, QScreen *screen);
    /// The stand-in of the open camera window, if one is open or opening.
    QDialog *cameraStandIn() const { return m_cameraStandIn; }
    /// Brings the camera window forward (the ticker was clicked while it waits for it).
    void raiseCamera();
    /// Addresses just saved reach the open windows; nothing is started for them.
    void hostsChanged(const SourceHosts &hosts);
    /// A target list just saved reaches the open chart window; nothing is started for it.
    void targetsChanged(const QList<ChartTarget> &targets);
    /// The ticker ends: the windows close, the process ends with its browser processes.
    void end();

    bool isRunning() const { return m_process != nullptr; }
    /// The process of the windows now, 0 when there is none.
    qint64 processId() const;
    /// Whether the window "chart" or "camera" has said that it is shown, and not closed yet.
    bool isOpen(const QString &window) const { return m_open.contains(window); }
    /// The frames of the process's shown windows (their dialogs too), as it last told them.
    QList<QRect> windowFrames() const { return m_frames; }

signals:
    /// The link "接続先を設定..." of a window's page for the source `sourceName`.
    void sourceEditRequested(const QString &sourceName);
    void windowOpened(const QString &window);
    void windowClosed(const QString &window);
    /// The process's windows have moved, been shown or hidden: see windowFrames().
    void windowFramesChanged();
    /// The process has ended, normally or not.
    void processEnded();

private:
    /// Sends the command, starting the process first when none runs; false after telling the
    /// user when it cannot be started.
    bool send(const QString &window, const WebProtocol::Command &command);
    bool startProcess();
    QString program() const;
    void readEvents();
    void readErrors();
    void handle(const WebProtocol::Event &event);
    void finished(int exitCode, bool crashed);
    void failedToStart(const QString &reason);
    /// Forgets the process: its windows and waiting stand-in, the commands it has not answered.
    void forget();
    void finishCameraStandIn();
    /// Says once what happened to the windows.
    void tell(const QString &text);

    QString m_program;
    QProcess *m_process = nullptr;
    bool m_ready = false;
    bool m_resent = false;
    bool m_ending = false;
    bool m_told = false; ///< the user has heard what happened to this process
    QMap<QString, WebProtocol::Command> m_pending; ///< by window, not yet shown
    QSet<QString> m_open;
    QList<QRect> m_frames;
    QByteArray m_errors; ///< the last lines the process wrote to standard error
    QString m_fault;     ///< why the ticker ended the process, told instead of the signal
    QPointer<QDialog> m_cameraStandIn;
    WebProtocol::Command m_camera;
};
