// Start-up, wiring and exit of the ticker.
#include "app/TickerSession.h"

#include "app/TickerMenu.h"
#include "decodewindow/DecodeWindow.h"
#include "desktop/MessageBox.h"
#include "desktop/StoredColor.h"
#include "desktop/WindowPlacement.h"
#include "platform/DesktopNotice.h"
#include "platform/SingleInstance.h"
#include "platform/Twips.h"
#include "report/DecodedForms.h"
#include "report/ReportBuilder.h"
#include "settings/ExtendedSettingsWindow.h"
#include "settings/SettingsWindow.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "ticker/DragHandle.h"
#include "ticker/TickerWindow.h"
#include "web/WebWindowsProcess.h"

TickerSession::TickerSession(const QString &databaseDirectory, QObject *parent)
    : QObject(parent), m_databaseDirectory(databaseDirectory),
      m_window(std::make_unique<TickerWindow>()), m_web(std::make_unique<WebWindowsProcess>())
{
    SetAnchorWindow(m_window.get());
}

TickerSession::~TickerSession()
{
    if (m_loaded && !m_closed)
        Form_QueryUnload();
}

bool TickerSession::Form_Load()
{
    QWidget *owner = m_window.get();
    m_instance = std::make_unique<SingleInstance>(m_databaseDirectory);
    if (m_instance->heldByAnother()) {
        m_startMessage = ShowMessage(owner, QMessageBox::Information, QStringLiteral(" 確認"),
                                     QStringLiteral("Tarnbeck はすでに起動しています  "));
        return false;
    }
    if (!m_instance->isFirst()) {
        m_startMessage =
            ShowMessage(owner, QMessageBox::Critical, QStringLiteral(" Tarnbeck"),
                        m_instance->errorString() +
                            QStringLiteral("\nTarnbeck の設定はこのフォルダーに置かれます。"));
        return false;
    }
    m_store = std::make_unique<SettingsStore>(m_databaseDirectory);
    if (!m_store->OpenSettings()) {
        m_startMessage = ShowMessage(owner, QMessageBox::Critical, QStringLiteral(" Tarnbeck"),
                                     m_store->errorString());
        m_store.reset();
        return false;
    }
    m_loaded = true;

    TickerWindow *window = m_window.get();
    m_builder = std::make_unique<ReportBuilder>(*m_store);
    m_cycle = std::make_unique<TickerCycle>(*m_store, *m_builder, m_clock);
    m_cycle->setHomePage(m_store->host(QLatin1String(SourceName::home)));
    m_menu = std::make_unique<TickerMenu>(*window, *m_cycle, *m_store, *m_web);
    m_menu->setSettingsWindowFactory([this](QWidget *) { return openSettingsWindow(); });
    m_menu->setExtendedWindowFactory(
        [this](QWidget *, const QString &hostName, std::function<void()> saved) {
            return openExtendedSettingsWindow(hostName, std::move(saved));
        });
    m_menu->setDecodeWindowFactory([this](QWidget *) { return openDecodeWindow(); });
    m_menu->setBriefingSource([this](const QString &airport) {
        const std::optional<FetchedStationFiles> files = m_builder->lastFetched(airport);
        if (!files)
            return QString();
        return DecodingText(
            DecodeFetched(*m_store, airport, &files->metar, files->taf ? &*files->taf : nullptr),
            QDateTime::currentDateTimeUtc());
    });
    m_notice = std::make_unique<DesktopNotice>();
    connect(m_cycle.get(), &TickerCycle::worsened, m_notice.get(), &DesktopNotice::send);
    connect(m_cycle.get(), &TickerCycle::showReport, this, &TickerSession::showReport);
    connect(m_cycle.get(), &TickerCycle::showMessage, window, &TickerWindow::showMessage);
    connect(m_cycle.get(), &TickerCycle::networkChanged, m_menu.get(), &TickerMenu::setOnline);
    connect(m_cycle.get(), &TickerCycle::paused, window, [window] {
        // A text half slid in would stay half shown, and be replaced before it was read.
        if (window->isSliding())
            window->finishSlide();
    });
    connect(window, &TickerWindow::slideFinished, m_cycle.get(), &TickerCycle::slideFinished);
    connect(window, &TickerWindow::popupRequested, m_menu.get(), &TickerMenu::popup);
    connect(window, &TickerWindow::decodeRequested, m_menu.get(), &TickerMenu::menu_decode_Click);
    connect(window, &TickerWindow::closing, this, [this] {
        if (!m_closed)
            Form_QueryUnload();
    });
    connect(m_menu.get(), &TickerMenu::pointerLeftHandle, window,
            [window] { window->setPointerOnHandle(false); });
    connect(m_menu.get(), &TickerMenu::endRequested, this, &TickerSession::close);
    // The chart and camera windows are the program's too: a ticker above every window (in a
    // Wayland session) stands aside from them as from its own dialogs.
    connect(m_web.get(), &WebWindowsProcess::windowFramesChanged, window,
            [this, window] { window->keepClearOf(m_web->windowFrames()); });

    // Scrolling needs a checked target; sliding and scrolling need a target at all.
    const bool noTargets = m_store->targetAirports().isEmpty();
    const bool anyChecked = m_cycle->anyChecked();
    // A failed write is in the log: the store writes its reason there.
    m_store->changeSettings([&](Settings &s) {
        ++s.startup; // held at its bound
        if (noTargets)
            s.autochange = false;
        if (!anyChecked)
            s.scroll = false;
    });

    const Settings settings = m_store->settings();
    window->setTextColor(ColorFromStored(settings.forecolor));
    window->setTextFont(settings.fontsize, settings.update);
    window->setOutlined(LoadDisplayOptions(*m_store).outline);
    window->setSlideInterval(settings.scrollrate);
    // A stored place on a screen that is gone stays the place: it counts again once the screen
    // is back, and only a drag replaces it.
    window->showAt(DragHandle::startPosition(settings.posX, settings.posY),
                   DragHandle::storedPosition(settings.posX, settings.posY));
    m_cycle->start();
    return true;
}

void TickerSession::close()
{
    m_window->close();
}

void TickerSession::Form_QueryUnload()
{
    m_closed = true;
    m_window->holdSlide();
    m_cycle->stop();
    m_menu->shutDown(); // a settings window still open is closed without saving
    m_web->end();

    bool compactDue = false;
    const QPoint place = m_window->place();
    // A failed write or compaction is in the log: the store writes its reason there.
    m_store->SaveExitState(float(pixelsToTwips(place.x())), float(pixelsToTwips(place.y())),
                           &compactDue);
    m_store->CloseSettings();
    if (compactDue)
        m_store->CompactSettings();
    emit exited();
}

void TickerSession::showReport(const QString &builtText, TickerCycle::Entry entry,
                               FlightCategory category)
{
    m_window->showReport(builtText, entry, category);
    savePositionIfMoved();
}

void TickerSession::savePositionIfMoved()
{
    const QPoint place = m_window->place();
    // Only a changed place is written: the store writes only what differs.
    // A failed write is in the log: the store writes its reason there.
    m_store->changeSettings([&](Settings &s) {
        s.posX = float(pixelsToTwips(place.x()));
        s.posY = float(pixelsToTwips(place.y()));
    });
}

QDialog *TickerSession::openSettingsWindow()
{
    TickerWindow *ticker = m_window.get();
    TickerCycle *cycle = m_cycle.get();
    auto *window = new SettingsWindow(*m_store, ticker);
    connect(window, &SettingsWindow::textFontChanged, ticker, &TickerWindow::setTextFont);
    connect(window, &SettingsWindow::textColorChanged, ticker, &TickerWindow::setTextColor);
    connect(window, &SettingsWindow::refreshSoon, cycle, &TickerCycle::refreshAtNextTick);
    TickerMenu *menu = m_menu.get();
    WebWindowsProcess *web = m_web.get();
    connect(window, &SettingsWindow::saved, ticker,
            [ticker, cycle, menu, web](int scrollrate, int autochangerate, bool replaced) {
                ticker->setSlideInterval(scrollrate);
                cycle->setSlidePeriod(qint16(autochangerate));
                if (replaced) {
                    cycle->targetsReplaced();
                    if (auto *decode = qobject_cast<DecodeWindow *>(menu->decodeWindow()))
                        decode->targetsChanged();
                    // The open chart window's menu "気象庁" lists the targets too.
                    web->targetsChanged(menu->chartTargets());
                }
            });
    return window;
}

QDialog *TickerSession::openDecodeWindow()
{
    auto *window = new DecodeWindow(*m_store, *m_builder, m_window.get());
    connect(m_cycle.get(), &TickerCycle::airportShown, window, &DecodeWindow::tickerShows);
    // Before the first report has come: the airport the cycle is about to show.
    const QString shown = m_cycle->shownAirport();
    window->tickerShows(shown.isEmpty() ? m_cycle->currentAirport() : shown);
    return window;
}

QDialog *TickerSession::openExtendedSettingsWindow(const QString &hostName,
                                                   std::function<void()> saved)
{
    auto *window = new ExtendedSettingsWindow(*m_store, m_window.get());
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (saved)
        connect(window, &ExtendedSettingsWindow::hostsSaved, window, saved);
    // Saved addresses count at once: the report builder reads them at each build, the web
    // windows when they open and when told here, the network check from here.
    connect(window, &ExtendedSettingsWindow::hostsSaved, this, [this] {
        m_cycle->setHomePage(m_store->host(QLatin1String(SourceName::home)));
        m_web->hostsChanged(m_store->hosts());
    });
    connect(window, &ExtendedSettingsWindow::outlineChanged, m_window.get(),
            &TickerWindow::setOutlined);
    window->openAt(hostName);
    return window;
}
