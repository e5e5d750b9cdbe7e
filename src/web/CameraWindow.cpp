// The camera window: menu bar of airports, the image in the browser, the 60-second reload.
#include "web/CameraWindow.h"

#include "platform/Twips.h"
#include "web/WebBrowser.h"

#include <QMenuBar>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

constexpr int reloadTicks = 60;
// Design sizes in twips: the client area below the menu bar, and the browser, which is taller
// than the window so that the window's height decides how much of the image shows.
constexpr int clientWidth = 10230;
constexpr int clientHeight = 5865;
constexpr int browserWidth = 10215;
constexpr int browserHeight = 7815;

} // namespace

CameraWindow::CameraWindow(const SourceHosts &hosts, QWidget *owner)
    : QDialog(owner), m_hosts(hosts), m_menuBar(new QMenuBar(this)), m_client(new QWidget(this)),
      m_browser(CreateBrowser(m_client))
{
    setObjectName(QStringLiteral("camera"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);
    m_browser->setGeometry(0, 0, twipsToPixels(browserWidth), twipsToPixels(browserHeight));

    const CameraCatalogue cameras = cameraCatalogue();
    for (int i = 0; i < cameras.count; ++i) {
        QAction *item = m_menuBar->addAction(QString::fromUtf8(cameras.items[i].caption));
        item->setObjectName(QLatin1String(cameras.items[i].control));
        connect(item, &QAction::triggered, this, [this, i] { chooseCamera(i); });
    }

    const int width = twipsToPixels(clientWidth);
    const int barHeight = m_menuBar->heightForWidth(width);
    setFixedSize(width, (barHeight > 0 ? barHeight : m_menuBar->sizeHint().height()) +
                            twipsToPixels(clientHeight));
    setWindowTitle(QString::fromUtf8(cameras.items[0].caption));

    m_cameraTicks = 0;
    m_address =
        cameraAddress(m_hosts, cameras.items[0].source, QString::fromUtf8(cameras.items[0].path));
    ShowDocument(m_browser, m_address, windowTitle());
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
    // The table gives the outer height; the frame is not ours to size.
    m_frameExtra = FrameExtra(this, m_frameExtra);
    setFixedSize(width(), twipsToPixels(camera.windowHeight) - m_frameExtra.height());
}

void CameraWindow::Timer_Timer()
{
    if (++m_cameraTicks < reloadTicks)
        return;
    m_timer.stop();
    m_cameraTicks = 0;
    m_browser->reload();
    emit reloaded();
    m_timer.start();
}
