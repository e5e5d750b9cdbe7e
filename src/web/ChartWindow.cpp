// The chart window: load steps, ShowChart, the five-minute reload and printing.
#include "web/ChartWindow.h"

#include "desktop/WindowPlacement.h"
#include "platform/Twips.h"
#include "web/BriefingPage.h"
#include "web/WebBrowser.h"

#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWebEngineView>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace {

constexpr int reloadTicks = 300;

std::unique_ptr<QPrinter> defaultPrinter()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        // Printers but none marked default: the first one rather than nothing.
        const QStringList names = QPrinterInfo::availablePrinterNames();
        if (!names.isEmpty())
            info = QPrinterInfo::printerInfo(names.first());
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

ChartWindow::Seams withDefaults(ChartWindow::Seams seams)
{
    if (!seams.now)
        seams.now = [] {
            return QDateTime::currentDateTime();
        };
    if (!seams.printerInstalled)
        seams.printerInstalled = [] {
            return !QPrinterInfo::availablePrinterNames().isEmpty();
        };
    if (!seams.printer)
        seams.printer = defaultPrinter;
    if (!seams.screen)
        seams.screen = [] {
            return ScreenFor(nullptr);
        };
    if (!seams.choosePrinter)
        seams.choosePrinter = [](QWidget *parent, const QString &name,
                                 std::function<void(std::unique_ptr<QPrinter>)> chosen) {
            // The dialog offers every printer and a PDF file; it asks without a loop of its own.
            auto printer = std::make_shared<std::unique_ptr<QPrinter>>(
                std::make_unique<QPrinter>(QPrinter::HighResolution));
            (*printer)->setDocName(name); // the PDF file's name the dialog offers
            auto *dialog = new QPrintDialog(printer->get(), parent);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(dialog, &QDialog::finished, parent,
                             [printer, chosen = std::move(chosen)](int result) {
                                 if (result == QDialog::Accepted)
                                     chosen(std::move(*printer));
                             });
            dialog->open();
        };
    return seams;
}

} // namespace

ChartWindow::ChartWindow(const SourceHosts &hosts, Seams seams, QWidget *parent)
    : QMainWindow(parent), m_seams(withDefaults(std::move(seams))), m_hosts(hosts),
      m_client(new QWidget(this)),
      m_browser(CreateBrowser(m_client, [this](const QString &) { editSource(); }))
{
    setObjectName(QStringLiteral("chart"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral(" 地上天気図"));
    setCentralWidget(m_client);
    m_browser->move(0, 0);
    m_client->installEventFilter(this);

    m_exit = menuBar()->addAction(QStringLiteral("閉じる"));
    m_exit->setObjectName(QStringLiteral("menu_exit"));
    connect(m_exit, &QAction::triggered, this, &QWidget::close);
    m_print = menuBar()->addAction(QStringLiteral("印刷"));
    m_print->setObjectName(QStringLiteral("menu_print"));
    connect(m_print, &QAction::triggered, this, &ChartWindow::menu_print_Click);
    m_chart = menuBar()->addMenu(QStringLiteral("天気図"));
    m_chart->setObjectName(QStringLiteral("menu_chart"));
    m_chart->menuAction()->setObjectName(QStringLiteral("menu_chart"));
    BuildChartMenu(m_chart, [this](const ChartChoice &choice) { choose(choice); });
    // The agency's charts beside the catalogue, which keeps its items and places.
    m_jma = menuBar()->addMenu(QStringLiteral("気象庁"));
    m_jma->setObjectName(QStringLiteral("menu_jma"));
    m_jma->menuAction()->setObjectName(QStringLiteral("menu_jma"));
    setTargets({});
    connect(m_browser, &QWebEngineView::loadFinished, this, &ChartWindow::fitImage);
    // Freed once the browser is back from its signal, which still holds the printer.
    connect(
        m_browser, &QWebEngineView::printFinished, this, [this] { m_printing.reset(); },
        Qt::QueuedConnection);

    const OpeningChart opening = openingChart(m_seams.now().time().hour());
    m_address = chartAddress(m_hosts, chartOpeningSource,
                             QLatin1String(chartOpeningBasePath) + QLatin1String(opening.file));
    m_chartUrl = m_address.url();
    m_chartTitle = QString::fromUtf8(opening.caption);
    m_viewWidth = chartOpeningWidth;
    m_viewHeight = chartOpeningHeight;
    const JmaItem &analysis = jmaSurfaceAnalysis();
    const DocumentAddress agency = jmaAddress(m_hosts, analysis, m_seams.now().toUTC());
    if (!m_address.configured() && agency.configured()) {
        // A fresh installation has no address for the opening entry: the agency's chart says
        // more than a page that asks for one, and the caption says why it came instead.
        m_jmaItem = &analysis;
        m_address = agency;
        m_chartUrl = m_address.url();
        m_chartTitle = QString::fromUtf8(analysis.caption) + QString::fromUtf8(jmaAttribution) +
                       QStringLiteral(" - %1 の接続先が設定されていないため").arg(m_chartTitle);
    }
    ShowChart();
    windowHandle()->installEventFilter(this);

    m_refreshTicks = 0;
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ChartWindow::timer_Timer);
    m_timer.start();
    // ShowChart has centred the window already; the opening document is never maximised.
    m_openMaximised = false;
}

ChartWindow::~ChartWindow()
{
    m_alive.reset();
    // The window's native side outlives this part of it and still has events to tell.
    if (QWindow *handle = windowHandle())
        handle->removeEventFilter(this);
}

void ChartWindow::setTargets(const QList<ChartTarget> &targets)
{
    if (m_jma->actions().size() > 0 && targets == m_targets)
        return;
    m_targets = targets;
    BuildJmaMenu(m_jma, m_targets, [this](const JmaChoice &choice) { chooseJma(choice); });
}

void ChartWindow::chooseJma(const JmaChoice &choice)
{
    const JmaItem &item = *choice.item;
    m_jmaItem = &item;
    m_jmaIcao = choice.icao;
    m_jmaArea = choice.areaCode;
    m_briefing = choice;
    m_address = jmaAddress(m_hosts, item, m_seams.now().toUTC(), choice.icao, choice.areaCode);
    m_chartUrl = m_address.url();
    m_chartTitle = choice.title + QString::fromUtf8(jmaAttribution);
    m_naturalSize = !item.maximised() && item.file != JmaFile::Briefing;
    if (item.file == JmaFile::Briefing) {
        // A page to scroll and print: the whole screen.
        m_chartUrl.clear();
        m_openMaximised = true;
    } else if (item.maximised()) {
        m_openMaximised = true;
    } else {
        // Shown at a catalogue image's size until the image tells its own.
        m_viewWidth = 10200;
        m_viewHeight = 7800;
    }
    ShowChart();
}

void ChartWindow::captionIssue()
{
    if (!m_jmaItem || m_jmaItem->file != JmaFile::ThreeHourly)
        return;
    // The issue that came: the newest, or one before it when that was not out yet.
    const QString shown = m_browser->url().toString();
    if (!m_address.urls().contains(shown))
        return;
    m_chartTitle = QStringLiteral("%1 (%2)%3")
                       .arg(QString::fromUtf8(m_jmaItem->caption), jmaIssueText(shown),
                            QString::fromUtf8(jmaAttribution));
    setWindowTitle(QLatin1Char(' ') + m_chartTitle);
}

void ChartWindow::fitImage(bool loaded)
{
    if (loaded)
        captionIssue();
    if (!m_naturalSize || !loaded || m_browser->url() != QUrl(m_chartUrl))
        return;
    m_naturalSize = false;
    const QString script = QStringLiteral(
        "(function () { const i = document.contentType.startsWith('image/') && document.images[0];"
        " return i ? [i.naturalWidth, i.naturalHeight] : null; })()");
    m_browser->page()->runJavaScript(script, [window = this, alive = std::weak_ptr<void>(m_alive),
                                              url = m_chartUrl](const QVariant &result) {
        // The browser answers pending scripts while it is torn down with the window.
        const QVariantList size = result.toList();
        if (!alive.expired() && window->m_chartUrl == url && size.size() == 2)
            window->showAtSize(QSize(size[0].toInt(), size[1].toInt()));
    });
}

void ChartWindow::showAtSize(QSize image)
{
    if (image.isEmpty() || isMaximized())
        return;
    // Placed as ShowChart places a window: hidden, sized, centred and shown again, so that the
    // window manager takes the new place as a first one. Its frame is the one ShowChart read:
    // just after the window left the maximised state the manager may still tell that state's.
    if (!m_frame)
        m_frame = WindowFrame(this);
    const QMargins frame = m_frame.value_or(QMargins());
    QScreen *screen = m_seams.screen();
    // Never beyond the screen: the image is then shrunk to the window, as any is.
    if (screen)
        image = image.boundedTo(screen->availableGeometry().size().shrunkBy(frame) -
                                QSize(0, MenuBarHeight(menuBar(), image.width())));
    m_viewWidth = int(pixelsToTwips(image.width()));
    m_viewHeight = int(pixelsToTwips(image.height()));
    hide();
    fitView();
    CentreOnScreen(this, screen, frame);
    show();
}

void ChartWindow::choose(const ChartChoice &choice)
{
    m_jmaItem = nullptr;
    m_jmaIcao.clear();
    m_jmaArea.clear();
    m_naturalSize = false;
    const ChartItem &item = *choice.item;
    m_address = chartAddress(m_hosts, item.source,
                             QString::fromUtf8(item.basePath) + QString::fromUtf8(item.file));
    m_chartUrl = m_address.url();
    m_chartTitle = choice.title;
    if (item.maximised()) {
        m_openMaximised = true;
    } else {
        m_viewWidth = item.width;
        m_viewHeight = item.height;
    }
    ShowChart();
}

void ChartWindow::ShowChart()
{
    // The frame of the normal window is read while it is shown: the manager may be still busy
    // letting the window go when it is hidden again. Not before it is exposed, though: until
    // then the manager may still be framing it, and tells a frame it is about to change.
    const QWindow *handle = windowHandle();
    const bool exposed = handle && handle->isExposed();
    if (isVisible() && !isMaximized() && !isMinimized() && exposed)
        m_frame = WindowFrame(this);
    m_maximiseWhenExposed = false;
    // A shown window is maximised where it is: hidden and at once shown again, the manager may
    // still be letting it go when asked for the maximised state, and drop that.
    const bool maximiseInPlace = m_openMaximised && isVisible() && !isMinimized();
    if (!maximiseInPlace) {
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
        hide();
    }
    m_browser->hide();

    m_print->setEnabled(!m_chartUrl.endsWith(QLatin1String("pdf")));
    if (!m_seams.printerInstalled())
        m_print->setEnabled(false);
    // The briefing is printed through a dialog, which also saves it as a PDF file.
    if (showsBriefing())
        m_print->setEnabled(true);

    if (m_openMaximised) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        // A window shown but not yet the manager's: a request now could be lost, so it is asked
        // once the window is exposed.
        if (maximiseInPlace && !exposed)
            m_maximiseWhenExposed = true;
        else
            setWindowState(windowState() | Qt::WindowMaximized);
        m_openMaximised = false;
    } else {
        fitView();
        // Before the first showing the manager is asked, once the border is fixed: a resizable
        // window has a wider frame.
        if (!m_frame)
            m_frame = WindowFrame(this);
        CentreOnScreen(this, m_seams.screen(), *m_frame);
    }

    showDocument();
    setWindowTitle(QLatin1Char(' ') + m_chartTitle);
    show();
    m_browser->show();
}

void ChartWindow::fitView()
{
    // The browser fills the client area below the menu bar; the frame is the manager's own.
    const QSize view(twipsToPixels(m_viewWidth), twipsToPixels(m_viewHeight));
    m_browser->resize(view);
    setFixedSize(view.width(), MenuBarHeight(menuBar(), view.width()) + view.height());
}

void ChartWindow::timer_Timer()
{
    if (++m_refreshTicks < reloadTicks)
        return;
    m_refreshTicks = 0;
    // The briefing is made again: its charts by run may have moved on.
    if (showsBriefing()) {
        showDocument();
        emit reloaded();
        return;
    }
    // A chart by run moves on to the next run once it is out.
    if (m_jmaItem && (m_jmaItem->file == JmaFile::Run || m_jmaItem->file == JmaFile::ThreeHourly)) {
        const DocumentAddress newest =
            jmaAddress(m_hosts, *m_jmaItem, m_seams.now().toUTC(), m_jmaIcao, m_jmaArea);
        if (newest.path != m_address.path) {
            m_address = newest;
            m_chartUrl = m_address.url();
            ShowDocument(m_browser, m_address, m_chartTitle);
            emit reloaded();
            return;
        }
    }
    ReloadDocument(m_browser);
    emit reloaded();
}

void ChartWindow::menu_print_Click()
{
    // One job at a time: the browser keeps using the printer until it reports the end.
    if (m_printing || !m_print->isEnabled())
        return;
    if (showsBriefing()) {
        // "briefing-RJTT-20241210-0530": a name that sorts and needs no quoting.
        const QString name =
            QStringLiteral("briefing-%1-%2")
                .arg(m_jmaIcao, m_seams.now().toUTC().toString(QStringLiteral("yyyyMMdd-HHmm")));
        m_seams.choosePrinter(this, name,
                              [window = this, alive = std::weak_ptr<void>(m_alive)](
                                  std::unique_ptr<QPrinter> printer) {
                                  if (alive.expired() || !printer || window->m_printing)
                                      return;
                                  window->m_printing = std::move(printer);
                                  window->m_browser->print(window->m_printing.get());
                              });
        return;
    }
    m_printing = m_seams.printer();
    m_browser->print(m_printing.get());
}

void ChartWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Restored by the window manager, not by ShowChart: the border is fixed again.
    if (event->type() == QEvent::WindowStateChange && event->spontaneous() && !isMaximized() &&
        (static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMaximized))
        fitView();
}

bool ChartWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && m_maximiseWhenExposed &&
        windowHandle()->isExposed()) {
        m_maximiseWhenExposed = false;
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    if (watched == m_client && event->type() == QEvent::Resize)
        fillBrowserWhenMaximised();
    return QMainWindow::eventFilter(watched, event);
}

void ChartWindow::fillBrowserWhenMaximised()
{
    // The maximised size arrives from the window manager after the show, so follow every resize.
    if (isMaximized())
        m_browser->resize(m_client->size());
}

void ChartWindow::editSource()
{
    // The page asked for an address; once saved, the document it stood for is shown.
    EditSource(m_sourceEditor, m_address.sourceName, this,
               [this](const SourceHosts &hosts) { setHosts(hosts); });
}

void ChartWindow::setHosts(const SourceHosts &hosts)
{
    m_hosts = hosts;
    if (!FollowHosts(m_address, hosts))
        return;
    m_chartUrl = showsBriefing() ? QString() : m_address.url();
    showDocument();
}

bool ChartWindow::showsBriefing() const
{
    return m_jmaItem && m_jmaItem->file == JmaFile::Briefing;
}

void ChartWindow::showDocument()
{
    if (!showsBriefing()) {
        ShowDocument(m_browser, m_address, m_chartTitle);
        return;
    }
    ShowPage(m_browser, MakeBriefingPage(m_briefing, m_hosts, m_seams.now().toUTC()).html);
}
