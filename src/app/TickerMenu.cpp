// The pop-up menu's preparation, its handlers and the steps after it.
#include "app/TickerMenu.h"

#include "app/ProgramPage.h"
#include "desktop/MessageBox.h"
#include "desktop/WindowPlacement.h"
#include "report/TickerCycle.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "sun/AirportCatalogue.h"
#include "sunwindow/SunWindow.h"
#include "web/WebWindowsProcess.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QTimer>
#include <TarnbeckVersion.h>

TickerMenu::TickerMenu(QWidget &owner, TickerCycle &cycle, SettingsStore &store,
                       WebWindowsProcess &web)
    : m_owner(owner), m_cycle(cycle), m_store(store), m_web(web)
{
    connect(m_menu.menu(), &QMenu::aboutToHide, this, [this] {
        // The chosen item's handler runs after the menu hides; the ticker follows it.
        QTimer::singleShot(0, this, &TickerMenu::afterMenu);
    });
    connect(&m_menu, &PopupMenu::targetChosen, this,
            [this](int index) { menu_airport_target_Click(index); });
    connect(m_menu.menu_slide(), &QAction::triggered, this, &TickerMenu::menu_slide_Click);
    connect(m_menu.menu_scroll(), &QAction::triggered, this, &TickerMenu::menu_scroll_Click);
    connect(m_menu.menu_weather(), &QAction::triggered, this, &TickerMenu::menu_weather_Click);
    connect(m_menu.menu_sunset(), &QAction::triggered, this, &TickerMenu::menu_sunset_Click);
    connect(m_menu.menu_camera(), &QAction::triggered, this, &TickerMenu::menu_camera_Click);
    connect(m_menu.menu_setting(), &QAction::triggered, this, &TickerMenu::menu_setting_Click);
    connect(m_menu.menu_decode(), &QAction::triggered, this, &TickerMenu::menu_decode_Click);
    connect(m_menu.menu_extended(), &QAction::triggered, this, &TickerMenu::menu_extended_Click);
    connect(m_menu.menu_version(), &QAction::triggered, this, &TickerMenu::menu_version_Click);
    connect(m_menu.menu_end(), &QAction::triggered, this, &TickerMenu::menu_end_Click);
    connect(&m_web, &WebWindowsProcess::sourceEditRequested, this, &TickerMenu::editSource);
}

TickerMenu::~TickerMenu()
{
    if (m_modal)
        m_modal->disconnect(this);
}

void TickerMenu::warn(const QString &text)
{
    ShowMessage(nullptr, QMessageBox::Warning, QStringLiteral(" Tarnbeck"), text);
}

void TickerMenu::popup(const QPoint &globalPos)
{
    // The camera window is modal in a process of its own: a click on the ticker, which it does
    // not block, brings it forward instead.
    if (m_modal && m_modal == m_web.cameraStandIn()) {
        m_web.raiseCamera();
        return;
    }
    prepare();
    m_menu.menu()->popup(globalPos);
}

void TickerMenu::prepare()
{
    const QList<TargetAirport> targets = m_store.targetAirports();
    const Settings settings = m_store.settings();
    m_menu.menu_slide()->setChecked(settings.autochange);
    m_menu.menu_scroll()->setChecked(settings.scroll);
    if (targets.isEmpty()) {
        m_menu.setTargets({});
        m_menu.menu_airport()->menuAction()->setEnabled(false);
        m_menu.menu_slide()->setEnabled(false);
        m_menu.menu_scroll()->setEnabled(false);
        return;
    }
    m_menu.menu_airport()->menuAction()->setEnabled(true);
    QStringList codes;
    bool someChecked = false;
    for (const TargetAirport &target : targets) {
        codes.append(target.airport);
        someChecked = someChecked || target.checked;
    }
    m_menu.setTargets(codes);
    if (!someChecked) {
        switchSlidingOff();
        m_menu.menu_slide()->setEnabled(false);
        return;
    }
    m_menu.menu_slide()->setEnabled(m_online);
    m_menu.menu_scroll()->setEnabled(m_online && settings.autochange);
}

void TickerMenu::shutDown()
{
    m_shutDown = true;
    m_menu.menu()->hide();
    if (QDialog *open = m_modal) {
        m_modal = nullptr;
        open->disconnect(this);
        open->close(); // closed by the program: nothing is saved
    }
    if (m_decode)
        m_decode->close();
}

void TickerMenu::afterMenu()
{
    if (m_shutDown || m_modal)
        return; // a window opened from the menu runs these steps when it closes
    if (!m_cycle.anyChecked()) {
        m_cycle.cancelFetches();
        switchSlidingOff();
    }
    m_cycle.checkNetworkSoon();
}

void TickerMenu::setOnline(bool online)
{
    m_online = online;
    m_menu.setNetworkItemsEnabled(online, m_store.settings().autochange);
}

void TickerMenu::switchSlidingOff()
{
    // A failed write is in the log: the store writes its reason there.
    m_store.changeSettings([](Settings &s) { s.autochange = s.scroll = false; });
    m_menu.menu_slide()->setChecked(false);
    m_menu.menu_scroll()->setChecked(false);
    m_menu.menu_scroll()->setEnabled(false);
}

void TickerMenu::menu_airport_target_Click(int index)
{
    emit pointerLeftHandle();
    const QList<QAction *> &items = m_menu.menu_airport_target();
    if (m_store.targetAirports().isEmpty() || index < 0 || index >= items.size())
        return;
    m_cycle.chooseAirport(items[index]->text());
    if (!m_store.changeSettings([](Settings &s) { s.autochange = false; }))
        warn(m_store.errorString());
    m_menu.menu_slide()->setChecked(false);
    m_menu.menu_scroll()->setEnabled(false);
}

void TickerMenu::menu_slide_Click()
{
    // The item has already toggled its check.
    const bool on = m_menu.menu_slide()->isChecked();
    m_menu.menu_scroll()->setEnabled(on);
    if (!m_store.changeSettings([on](Settings &s) { s.autochange = on; }))
        warn(m_store.errorString());
    if (on)
        m_cycle.refreshAtNextTick();
}

void TickerMenu::menu_scroll_Click()
{
    emit pointerLeftHandle();
    const bool on = m_menu.menu_scroll()->isChecked();
    if (!m_store.changeSettings([on](Settings &s) { s.scroll = on; }))
        warn(m_store.errorString());
}

void TickerMenu::menu_weather_Click()
{
    emit pointerLeftHandle();
    m_cycle.holdNetworkCheck();
    // The next good network check enables it again.
    m_menu.menu_weather()->setEnabled(false);
    m_web.showChart(m_store.hosts(), chartTargets(), ScreenFor(&m_owner));
    m_cycle.checkNetworkSoon();
}

QList<ChartTarget> TickerMenu::chartTargets()
{
    QList<ChartTarget> targets;
    // The one on the desktop: during a slide the cycle has already moved on to the next.
    const QString shown = m_cycle.shownAirport();
    // In the list's order, so that an entry stays where the user remembers it.
    for (const TargetAirport &target : m_store.targetAirports()) {
        const bool isShown = target.airport == shown;
        targets.append({target.airport, catalogueNameOf(target.airport), isShown,
                        catalogueAreaOf(target.airport),
                        isShown && m_briefingSource ? m_briefingSource(shown) : QString()});
    }
    return targets;
}

void TickerMenu::showModal(QDialog *window)
{
    m_cycle.holdNetworkCheck();
    if (!window) { // the user has been told why
        m_cycle.checkNetworkSoon();
        return;
    }
    waitFor(window);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}

void TickerMenu::waitFor(QDialog *window)
{
    m_modal = window;
    connect(window, &QDialog::finished, this, [this] {
        m_modal = nullptr;
        afterMenu();
    });
    window->setAttribute(Qt::WA_DeleteOnClose);
}

void TickerMenu::menu_sunset_Click()
{
    emit pointerLeftHandle();
    showModal(new SunWindow(&m_owner));
}

void TickerMenu::menu_camera_Click()
{
    emit pointerLeftHandle();
    m_cycle.holdNetworkCheck();
    QDialog *camera = m_web.showCamera(m_store.hosts(), ScreenFor(&m_owner));
    if (!camera) { // the user has been told why
        m_cycle.checkNetworkSoon();
        return;
    }
    waitFor(camera); // a stand-in: the window shows in its own process
}

void TickerMenu::menu_setting_Click()
{
    emit pointerLeftHandle();
    m_cycle.pause();
    QDialog *window = m_settingsFactory ? m_settingsFactory(&m_owner) : nullptr;
    if (!window) {
        m_cycle.checkNetworkSoon();
        return;
    }
    waitFor(window);
    window->open(); // application-modal, centred on the ticker, without a loop of its own
}

void TickerMenu::menu_decode_Click()
{
    emit pointerLeftHandle();
    if (!m_decode && m_decodeFactory) {
        m_decode = m_decodeFactory(&m_owner);
        if (m_decode)
            m_decode->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (!m_decode)
        return;
    // Asked for again (the menu, a double-click on the text): the open one comes forward.
    m_decode->show();
    m_decode->raise();
    m_decode->activateWindow();
}

void TickerMenu::menu_extended_Click()
{
    emit pointerLeftHandle();
    m_cycle.holdNetworkCheck();
    QDialog *window = m_extendedFactory ? m_extendedFactory(&m_owner, {}, {}) : nullptr;
    if (!window) {
        m_cycle.checkNetworkSoon();
        return;
    }
    waitFor(window); // shown by the factory, application-modal, centred on the screen
}

void TickerMenu::editSource(const QString &hostName)
{
    // A window of the ticker waiting for an answer comes first; the chart window of the other
    // process is not held back by it as it was in this one.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    // A save reaches the open windows through the session, wherever "拡張設定" was opened.
    if (m_extendedFactory)
        m_extendedFactory(&m_owner, hostName, {});
}

void TickerMenu::menu_version_Click()
{
    // An empty row means the about page delivered with the program.
    const QUrl page = ProgramPageUrl(m_store.host(QLatin1String(SourceName::programPage)));
    const QString version = QStringLiteral("Tarnbeck ver ") + QLatin1String(programVersion);
    if (page.isEmpty()) {
        ShowMessage(nullptr, QMessageBox::Information, QStringLiteral(" Tarnbeck"),
                    version + QStringLiteral("\n\nプログラムのページのアドレスが設定されていません"
                                             " (設定ファイルの host 表の %1)。")
                                  .arg(QLatin1String(SourceName::programPage)));
    } else if (!QDesktopServices::openUrl(page)) {
        ShowMessage(
            nullptr, QMessageBox::Warning, QStringLiteral(" Tarnbeck"),
            version +
                QStringLiteral("\n\nブラウザーで %1 を開けませんでした。").arg(page.toString()));
    }
}

void TickerMenu::menu_end_Click()
{
    emit endRequested();
}
