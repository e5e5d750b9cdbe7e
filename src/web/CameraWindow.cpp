// The camera window: menu bar of airports, the image in the browser, the 60-second reload.
#include "web/CameraWindow.h"

#include "desktop/WindowPlacement.h"
#include "platform/Twips.h"
#include "web/WebBrowser.h"

#include <QMenuBar>
#include <QPointer>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

constexpr int reloadTicks = 60;
// The window's width in twips; its height is the camera's.
constexpr int browserWidth = 10215;
// Of a camera's window height in the table, what a caption and menu bar of the Windows desktop
// took.
constexpr int captionAndMenu = 695;

} // namespace

CameraWindow::CameraWindow(const SourceHosts &hosts, QWidget *owner)
    : QDialog(owner), m_hosts(hosts), m_menuBar(new QMenuBar(this)), m_client(new QWidget(this)),
      m_browser(CreateBrowser(m_client, [this](const QString &) { editSource(); }))
{
    setObjectName(QStringLiteral("camera"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);
    // The browser is no larger than what shows, so that an image fitted to it is never cut.
    auto *fill = new QVBoxLayout(m_client);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_browser);

    const CameraCatalogue cameras = cameraCatalogue();
    for (int i = 0; i < cameras.count; ++i) {
        QAction *item = m_menuBar->addAction(QString::fromUtf8(cameras.items[i].caption));
        item->setObjectName(QLatin1String(cameras.items[i].control));
        connect(item, &QAction::triggered, this, [this, i] { chooseCamera(i); });
    }

    sizeForCamera(cameras.items[0].windowHeight);
    setWindowTitle(QString::fromUtf8(cameras.items[0].caption));

    m_cameraTicks = 0;
    m_address =
        cameraAddress(m_hosts, cameras.items[0].source, QString::fromUtf8(cameras.items[0].path));
    ShowDocument(m_browser, m_address, windowTitle());
    m_timer.setObjectName(QStringLiteral("Timer"));
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &CameraWindow::Timer_Timer);
    m_timer.start();
}

CameraWindow::~CameraWindow() = default;

void CameraWindow::chooseCamera(int index)
{
    const CameraCatalogue cameras = cameraCatalogue();
    if (index < 0 || index >= cameras.count)
        return;
    const CameraItem &camera = cameras.items[index];
    m_cameraTicks = 0;
    setWindowTitle(QString::fromUtf8(camera.caption));
    m_address = cameraAddress(m_hosts, camera.source, QString::fromUtf8(camera.path));
    ShowDocument(m_browser, m_address, windowTitle());
    sizeForCamera(camera.windowHeight);
}

void CameraWindow::sizeForCamera(int windowHeight)
{
    // The client area below the menu bar is the browser.
    const int width = twipsToPixels(browserWidth);
    setFixedSize(width,
                 MenuBarHeight(m_menuBar, width) + twipsToPixels(windowHeight - captionAndMenu));
}

void CameraWindow::showEvent(QShowEvent *event)
{
    // Before QDialog would centre it on its owner, which may stand in a corner of the screen.
    if (!event->spontaneous())
        CentreOnScreen(this, m_screen ? m_screen.data() : ScreenFor(parentWidget()));
    QDialog::showEvent(event);
}

void CameraWindow::Timer_Timer()
{
    if (++m_cameraTicks < reloadTicks)
        return;
    m_timer.stop();
    m_cameraTicks = 0;
    ReloadDocument(m_browser);
    emit reloaded();
    m_timer.start();
}

void CameraWindow::editSource()
{
    // The page asked for an address; once saved, the image it stood for is shown.
    EditSource(m_sourceEditor, m_address.sourceName, this,
               [this](const SourceHosts &hosts) { setHosts(hosts); });
}

void CameraWindow::setHosts(const SourceHosts &hosts)
{
    m_hosts = hosts;
    if (FollowHosts(m_address, hosts))
        ShowDocument(m_browser, m_address, windowTitle());
}
