// The ticker's pop-up menu in use: prepared at the right click, its items' handlers, and what
// follows every use of it.
#pragma once

#include "ticker/PopupMenu.h"
#include "web/WebCatalogue.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QDialog;
class QWidget;
class SettingsStore;
class TickerCycle;
class WebWindowsProcess;

class TickerMenu final : public QObject
{
    Q_OBJECT
public:
    /// Builds the settings window over `owner` (the ticker does not know that window).
    using SettingsWindowFactory = std::function<QDialog *(QWidget *owner)>;

    /// The windows it opens belong to `owner`, the ticker window; the chart and camera windows
    /// open in the session's `web` process.
    TickerMenu(QWidget &owner, TickerCycle &cycle, SettingsStore &store, WebWindowsProcess &web);
    ~TickerMenu() override;

    PopupMenu &menu() { return m_menu; }
    void setSettingsWindowFactory(SettingsWindowFactory factory)
    {
        m_settingsFactory = std::move(factory);
    }
    /// Builds and shows the window "拡張設定" over `owner`, at the row of `hostName` when given;
    /// `saved` runs each time the user saves its addresses.
    using ExtendedWindowFactory = std::function<QDialog *(QWidget *owner, const QString &hostName,
                                                          std::function<void()> saved)>;
    void setExtendedWindowFactory(ExtendedWindowFactory factory)
    {
        m_extendedFactory = std::move(factory);
    }
    /// Builds the window "解読" over `owner`, not shown; it follows the ticker while it is open.
    using DecodeWindowFactory = std::function<QDialog *(QWidget *owner)>;
    void setDecodeWindowFactory(DecodeWindowFactory factory)
    {
        m_decodeFactory = std::move(factory);
    }
    /// The reports of `airport` read out, as the briefing page of the chart window shows them;
    /// empty when the ticker has fetched nothing of it.
    using BriefingSource = std::function<QString(const QString &airport)>;
    void setBriefingSource(BriefingSource source) { m_briefingSource = std::move(source); }
    /// The window "解読", if one is open.
    QDialog *decodeWindow() const { return m_decode; }
    /// The window opened from the menu that the ticker waits for, if one is open.
    QDialog *modalWindow() const { return m_modal; }
    /// The targets as the chart window's menu "気象庁" lists them: named and placed in their area
    /// from the airport catalogue, in the list's order, the airport the ticker shows now marked
    /// and carrying its briefing.
    QList<ChartTarget> chartTargets();

    /// The right click on the handle: the target submenu rebuilt, the menu shown at `globalPos`.
    void popup(const QPoint &globalPos);
    /// The target submenu and the items' states, as stored, before the menu shows.
    void prepare();
    /// After every use of the menu: sliding off when nothing is checked, a network check.
    void afterMenu();
    /// Items that need the network follow the network check.
    void setOnline(bool online);
    /// The program ends: the menu hides, and a window opened from it closes without saving.
    void shutDown();

    void menu_airport_target_Click(int index);
    void menu_slide_Click();
    void menu_scroll_Click();
    void menu_weather_Click();
    void menu_sunset_Click();
    void menu_camera_Click();
    void menu_setting_Click();
    void menu_decode_Click();
    void menu_extended_Click();
    void menu_version_Click();
    void menu_end_Click();

signals:
    /// An item was chosen: the menu covered the handle, and the pointer has left it.
    void pointerLeftHandle();
    /// "終了": the program ends.
    void endRequested();

private:
    /// Shows a window opened from the menu, application-modal; the steps after the menu wait
    /// until it closes.
    void showModal(QDialog *window);
    /// The steps after the menu wait until `window` has closed; it deletes itself then.
    void waitFor(QDialog *window);
    void switchSlidingOff();
    /// "接続先を設定..." of a chart or camera page: "拡張設定" at that source's row.
    void editSource(const QString &hostName);
    void warn(const QString &text);

    QWidget &m_owner;
    TickerCycle &m_cycle;
    SettingsStore &m_store;
    PopupMenu m_menu;
    SettingsWindowFactory m_settingsFactory;
    ExtendedWindowFactory m_extendedFactory;
    DecodeWindowFactory m_decodeFactory;
    BriefingSource m_briefingSource;
    WebWindowsProcess &m_web;
    QPointer<QDialog> m_modal;
    QPointer<QDialog> m_decode; ///< not modal: the ticker goes on while it is open
    bool m_online = false;
    bool m_shutDown = false;
};
