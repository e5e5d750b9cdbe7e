// The ticker's commands on the windows: one chart window, one camera window, both told apart.
#include "web/WebWindowsServer.h"

#include "desktop/WindowPlacement.h"
#include "web/CameraWindow.h"
#include "web/ChartWindow.h"

#include <QGuiApplication>
#include <QScreen>

using namespace WebProtocol;

WebWindowsServer::WebWindowsServer(std::function<void(const QByteArray &)> send, QObject *parent)
    : QObject(parent), m_send(std::move(send)), m_watch([this] { tellFrames(); }, this)
{}

WebWindowsServer::~WebWindowsServer()
{
    // Gone before the application, as the browser engine wants its pages to be.
    m_send = nullptr;
    for (QWidget *window : {static_cast<QWidget *>(m_camera), static_cast<QWidget *>(m_chart)}) {
        if (window) {
            window->disconnect(this);
            delete window;
        }
    }
}

ChartWindow *WebWindowsServer::chartWindow() const
{
    return m_chart;
}

CameraWindow *WebWindowsServer::cameraWindow() const
{
    return m_camera;
}

void WebWindowsServer::start()
{
    Event ready;
    ready.kind = Event::Ready;
    ready.protocol = version;
    if (m_send)
        m_send(Encode(ready));
}

void WebWindowsServer::receive(const QByteArray &line)
{
    const Command command = ParseCommand(line);
    if (m_ending && command.kind != Command::Bye)
        return; // closing already: the ticker starts a new process for what it asks now
    switch (command.kind) {
    case Command::Chart:
        showChart(command);
        break;
    case Command::Camera:
        showCamera(command);
        break;
    case Command::Hosts:
        setHosts(command.hosts);
        break;
    case Command::Targets:
        if (m_chart)
            m_chart->setTargets(command.targets);
        break;
    case Command::Bye:
        closeAll();
        break;
    case Command::Unknown:
        qWarning("tarnbeck-web: not understood: %s", line.trimmed().constData());
        break;
    }
}

void WebWindowsServer::tickerGone()
{
    m_send = nullptr;
    closeAll();
}

QScreen *WebWindowsServer::screenOf(const WebProtocol::Screen &screen)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *candidate : screens) {
        if (candidate->name() == screen.name && candidate->geometry() == screen.geometry)
            return candidate;
    }
    // Named differently here (another output naming): the one that holds its centre.
    for (QScreen *candidate : screens) {
        if (candidate->geometry().contains(screen.geometry.center()))
            return candidate;
    }
    return QGuiApplication::primaryScreen();
}

void WebWindowsServer::showChart(const Command &command)
{
    m_screen = screenOf(command.screen);
    if (m_chart) {
        m_chart->setTargets(command.targets); // the list follows the ticker's targets
        bringForward(m_chart);
    } else {
        ChartWindow::Seams seams;
        seams.screen = [this] {
            return m_screen ? m_screen.data() : QGuiApplication::primaryScreen();
        };
        m_chart = new ChartWindow(command.hosts, std::move(seams)); // shown by its load steps
        m_chart->setTargets(command.targets);
        m_chart->setSourceEditor(sourceEditor());
        connect(m_chart, &QObject::destroyed, this,
                [this] { windowGone(WebProtocol::chartWindow); });
    }
    tell(Event::Open, QLatin1String(WebProtocol::chartWindow));
}

void WebWindowsServer::showCamera(const Command &command)
{
    m_screen = screenOf(command.screen);
    if (m_camera) {
        bringForward(m_camera);
    } else {
        m_camera = new CameraWindow(command.hosts);
        m_camera->setScreen(m_screen);
        m_camera->setSourceEditor(sourceEditor());
        connect(m_camera, &QObject::destroyed, this,
                [this] { windowGone(WebProtocol::cameraWindow); });
        m_camera->show(); // application-modal: the chart window waits for it
    }
    tell(Event::Open, QLatin1String(WebProtocol::cameraWindow));
}

void WebWindowsServer::setHosts(const SourceHosts &hosts)
{
    if (m_chart)
        m_chart->setHosts(hosts);
    if (m_camera)
        m_camera->setHosts(hosts);
}

void WebWindowsServer::closeAll()
{
    m_ending = true;
    if (!m_chart && !m_camera) {
        emit finished();
        return;
    }
    // Each deletes itself; the last one gone ends the process.
    if (m_camera)
        m_camera->close();
    if (m_chart)
        m_chart->close();
}

void WebWindowsServer::bringForward(QWidget *window)
{
    BringForward(window); // asked for in the ticker's menu, a user's action
}

SourceEditor WebWindowsServer::sourceEditor()
{
    // The ticker's "拡張設定" saves the address; the new hosts come back to every window.
    return [this](const QString &hostName, const std::function<void(const SourceHosts &)> &) {
        tell(Event::Edit, hostName);
    };
}

void WebWindowsServer::tell(Event::Kind kind, const QString &name)
{
    Event event;
    event.kind = kind;
    event.name = name;
    if (m_send)
        m_send(Encode(event));
}

void WebWindowsServer::windowGone(const char *name)
{
    // Told by the widget's own destructor, before the guards know.
    if (qstrcmp(name, WebProtocol::chartWindow) == 0)
        m_chart.clear();
    else
        m_camera.clear();
    tell(Event::Closed, QLatin1String(name));
    if (m_chart.isNull() && m_camera.isNull()) {
        m_ending = true;
        emit finished();
    }
}

void WebWindowsServer::tellFrames()
{
    // Every window of the process counts, its dialogs too: the ticker must cover none of them.
    const QList<QRect> frames = ShownWindowFrames();
    if (frames == m_frames || !m_send)
        return;
    m_frames = frames;
    Event event;
    event.kind = Event::Frames;
    event.frames = frames;
    m_send(Encode(event));
}
