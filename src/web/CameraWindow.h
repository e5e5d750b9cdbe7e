// The camera window `camera`: live images of eleven airports, reloaded every minute.
#pragma once

#include "web/DocumentAddress.h"
#include "web/WebBrowser.h"

#include <QDialog>
#include <QPointer>
#include <QScreen>
#include <QTimer>

class QMenuBar;
class QWebEngineView;

class CameraWindow final : public QDialog
{
    Q_OBJECT
public:
    /// Runs the load steps: the first camera at the design size, timer running. Not yet shown.
    explicit CameraWindow(const SourceHosts &hosts, QWidget *owner = nullptr);
    ~CameraWindow() override;
    /// How the page of a source without an address lets the user set one.
    void setSourceEditor(SourceEditor editor) { m_sourceEditor = std::move(editor); }
    /// Addresses just saved: the image shown is loaded again when its source has moved.
    void setHosts(const SourceHosts &hosts);
    /// The screen it opens on, instead of its owner's.
    void setScreen(QScreen *screen) { m_screen = screen; }

    QString cameraUrl() const { return m_address.url(); }
    int cameraTicks() const { return m_cameraTicks; }
    QWebEngineView *browser() const { return m_browser; }
    QMenuBar *menuBar() const { return m_menuBar; }

    /// The handler of the menu item `index` (in menu order).
    void chooseCamera(int index);
    /// One tick of the one-second timer; the 60th reloads the image.
    void Timer_Timer();

signals:
    void reloaded();

protected:
    void showEvent(QShowEvent *event) override;

private:
    /// The link "接続先を設定..." of the page of a source without an address.
    void editSource();
    /// Sizes the window for a camera whose window height in the table is `windowHeight` twips.
    void sizeForCamera(int windowHeight);

    SourceHosts m_hosts;
    SourceEditor m_sourceEditor;
    QMenuBar *m_menuBar;
    QWidget *m_client;
    QWebEngineView *m_browser;
    QTimer m_timer{this}; ///< "Timer", a child so that a test can hold the clock
    QPointer<QScreen> m_screen;
    DocumentAddress m_address;
    int m_cameraTicks = 0;
};
