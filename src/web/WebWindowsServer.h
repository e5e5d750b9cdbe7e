// The web process's side of the protocol: the ticker's commands carried out on the chart and
// camera windows, and what happens to them told back.
#pragma once

#include "desktop/WindowPlacement.h"
#include "web/WebBrowser.h"
#include "web/WebProtocol.h"

#include <QObject>
#include <QPointer>
#include <functional>

class CameraWindow;
class ChartWindow;
class QScreen;
class QWidget;

class WebWindowsServer final : public QObject
{
    Q_OBJECT
public:
    /// `send` writes one line to the ticker.
    explicit WebWindowsServer(std::function<void(const QByteArray &line)> send,
                              QObject *parent = nullptr);
    ~WebWindowsServer() override;

    /// Tells the ticker it listens.
    void start();
    /// One line from the ticker.
    void receive(const QByteArray &line);
    /// The ticker has gone: nothing more is told, and every window closes.
    void tickerGone();

    ChartWindow *chartWindow() const;
    CameraWindow *cameraWindow() const;
    /// The screen the windows open on: the ticker's, found here by its name and place.
    static QScreen *screenOf(const WebProtocol::Screen &screen);

signals:
    /// The last window has closed, or the ticker said goodbye: the process may end.
    void finished();

private:
    void showChart(const WebProtocol::Command &command);
    void showCamera(const WebProtocol::Command &command);
    void setHosts(const SourceHosts &hosts);
    void closeAll();
    void bringForward(QWidget *window);
    /// The link "接続先を設定..." of a window's page: the ticker opens "拡張設定" at the source.
    SourceEditor sourceEditor();
    void tell(WebProtocol::Event::Kind kind, const QString &name);
    void windowGone(const char *name);
    /// Where the windows stand now, when that has changed since last told.
    void tellFrames();

    std::function<void(const QByteArray &)> m_send;
    QPointer<ChartWindow> m_chart;
    QPointer<CameraWindow> m_camera;
    QPointer<QScreen> m_screen;
    WindowsWatch m_watch;
    QList<QRect> m_frames; ///< as last told
    bool m_ending = false;
};
