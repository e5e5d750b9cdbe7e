// The weather chart window `chart`: a catalogue of charts shown in an embedded browser.
#pragma once

#include "web/ChartMenu.h"
#include "web/DocumentAddress.h"
#include "web/WebBrowser.h"

#include <QDateTime>
#include <QMainWindow>
#include <QMargins>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPrinter;
class QScreen;
class QWebEngineView;

class ChartWindow final : public QMainWindow
{
    Q_OBJECT
public:
    /// What the window asks of the system; tests replace them.
    struct Seams
    {
        std::function<QDateTime()> now;                     ///< local date and time
        std::function<bool()> printerInstalled;             ///< any printer at all
        std::function<std::unique_ptr<QPrinter>()> printer; ///< the default printer
        std::function<QScreen *()> screen;                  ///< the screen it opens on
        /// A printer the user picks, or none when cancelled: the briefing prints or saves a
        /// PDF through it, the document named `name`.
        std::function<void(QWidget *parent, const QString &name,
                           std::function<void(std::unique_ptr<QPrinter>)> chosen)>
            choosePrinter;
    };

    /// Runs the load steps: opening document by the hour, shown and centred, timer running.
    explicit ChartWindow(const SourceHosts &hosts, Seams seams = {}, QWidget *parent = nullptr);
    ~ChartWindow() override;
    /// How the page of a source without an address lets the user set one.
    void setSourceEditor(SourceEditor editor) { m_sourceEditor = std::move(editor); }
    /// Addresses just saved: the document shown is loaded again when its source has moved.
    void setHosts(const SourceHosts &hosts);
    /// The target airports of the menu "気象庁" in the list's order, the shown one marked.
    void setTargets(const QList<ChartTarget> &targets);

    QString chartUrl() const { return m_chartUrl; }
    QString chartTitle() const { return m_chartTitle; }
    int refreshTicks() const { return m_refreshTicks; }
    QWebEngineView *browser() const { return m_browser; }
    QAction *menu_print() const { return m_print; }
    QMenu *menu_chart() const { return m_chart; }
    QMenu *menu_jma() const { return m_jma; }

    /// Sets the document of a catalogue entry and shows it.
    void choose(const ChartChoice &choice);
    /// Sets the document of an entry of the menu "気象庁" and shows it.
    void chooseJma(const JmaChoice &choice);
    /// Resizes and centres the window for the current document, loads it and sets the caption.
    void ShowChart();
    /// One tick of the one-second timer; every 300th reloads the page.
    void timer_Timer();
    /// Prints the current page on the default printer without a dialog.
    void menu_print_Click();

signals:
    void reloaded();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The link "接続先を設定..." of the page of a source without an address.
    void editSource();
    /// Fixed size: the browser at the current view size below the menu bar.
    void fitView();
    void fillBrowserWhenMaximised();
    /// An image shown at its natural size: the window follows it once it is loaded.
    void fitImage(bool loaded);
    /// Sizes the browser to `image` pixels, within the screen, and centres the window again.
    void showAtSize(QSize image);

    /// Held by the window alone: callbacks that outlive it see it gone, not half destroyed.
    std::shared_ptr<void> m_alive = std::make_shared<int>();
    Seams m_seams;
    SourceHosts m_hosts;
    SourceEditor m_sourceEditor;
    QWidget *m_client;
    QWebEngineView *m_browser;
    QAction *m_exit;
    QAction *m_print;
    QMenu *m_chart;
    QMenu *m_jma;
    QList<ChartTarget> m_targets;
    const JmaItem *m_jmaItem = nullptr; ///< the entry shown, if it is one of "気象庁"
    QString m_jmaIcao;
    QString m_jmaArea;      ///< the area code of a low-level chart
    JmaChoice m_briefing{}; ///< the briefing entry, when it is shown
    bool showsBriefing() const;
    /// The current document, or the briefing page made afresh.
    void showDocument();
    /// The caption of a chart by issue once the page tells which issue came.
    void captionIssue();
    bool m_naturalSize = false; ///< the shown image sizes the window once loaded
    QTimer m_timer;
    std::unique_ptr<QPrinter> m_printing; ///< alive until the browser has finished with it
    std::optional<QMargins> m_frame;      ///< the window manager's frame of the normal window

    DocumentAddress m_address;
    QString m_chartUrl;
    QString m_chartTitle;
    int m_viewWidth = 0;
    int m_viewHeight = 0;
    bool m_openMaximised = false;
    bool m_maximiseWhenExposed = false; ///< asked before the manager took the window
    int m_refreshTicks = 0;
};
