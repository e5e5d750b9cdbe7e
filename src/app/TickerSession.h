// A running ticker: the store, the report cycle, the menu and the window wired together.
#pragma once

#include "report/TickerCycle.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class DesktopNotice;
class QDialog;
class ReportBuilder;
class SettingsStore;
class SingleInstance;
class TickerMenu;
class TickerWindow;
class WebWindowsProcess;

/// Loads the program over the database in one folder, wires its pieces, and runs the exit when
/// the window closes: the place saved, the store closed and, when due, compacted.
class TickerSession final : public QObject
{
    Q_OBJECT
public:
    /// Nothing is opened until Form_Load.
    explicit TickerSession(const QString &databaseDirectory, QObject *parent = nullptr);
    ~TickerSession() override;

    /// Starts the ticker. False when the program must end: another instance runs, or the
    /// database or its folder cannot be used; the user is being told in startMessage().
    bool Form_Load();
    /// The box that says why the ticker did not start, while it is open.
    QMessageBox *startMessage() const { return m_startMessage; }

    TickerWindow &window() { return *m_window; }
    SettingsStore &store() { return *m_store; }
    TickerCycle &cycle() { return *m_cycle; }
    TickerMenu &menu() { return *m_menu; }
    ReportBuilder &reportBuilder() { return *m_builder; }
    /// The chart and camera windows' process.
    WebWindowsProcess &webWindows() { return *m_web; }

    /// Ends the ticker as "終了" does.
    void close();

signals:
    /// The window has closed and the store is shut: the program may end.
    void exited();

private:
    void Form_QueryUnload();
    void showReport(const QString &builtText, TickerCycle::Entry entry, FlightCategory category);
    void savePositionIfMoved();
    /// The settings window over the ticker, its changes followed by the window and the cycle.
    QDialog *openSettingsWindow();
    /// "解読" over the ticker, following the airport it shows.
    QDialog *openDecodeWindow();
    /// "拡張設定" at the row of `hostName` (if given); `saved` runs at each save of addresses.
    QDialog *openExtendedSettingsWindow(const QString &hostName, std::function<void()> saved);

    QString m_databaseDirectory;
    std::unique_ptr<TickerWindow> m_window;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ReportBuilder> m_builder;
    QtCycleClock m_clock;
    std::unique_ptr<TickerCycle> m_cycle;
    std::unique_ptr<WebWindowsProcess> m_web;
    std::unique_ptr<TickerMenu> m_menu;
    std::unique_ptr<DesktopNotice> m_notice;
    QPointer<QMessageBox> m_startMessage;
    bool m_loaded = false;
    bool m_closed = false;
};
