// The ticker window `main`: a borderless, see-through window of report text and its cycle.
#pragma once

#include "store/SettingsStore.h"
#include "ticker/ReportBuilder.h"
#include "ticker/TickerState.h"

#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class PopupMenu;
class SettingsWindow;
class SingleInstance;
class TickerLabel;

class TickerWindow final : public QWidget
{
    Q_OBJECT
public:
    /// Indexes of `lbl`.
    enum LabelIndex { Staging = 0, Display = 1, Handle = 2 };
    /// Indexes of `Timer`.
    enum TimerIndex { RefreshClock = 0, SlideTimer = 1, NetworkCheck = 2, HandleTimer = 3 };

    static constexpr auto noTargetAirport = "NO TARGET AIRPORT";
    static constexpr auto noNetworkConnection = "NO NETWORK CONNECTION";
    static constexpr auto handleHollow = "□";
    static constexpr auto handleFilled = "■";

    /// A ticker over the database in `databaseDirectory`; nothing is opened until Form_Load.
    explicit TickerWindow(const QString &databaseDirectory, QWidget *parent = nullptr);
    ~TickerWindow() override;

    /// Starts the ticker. False when the program must end at once: another instance runs, or
    /// the database cannot be used (the user has been told).
    bool Form_Load();

    // The cycle; each runs on its timer and may be called directly.
    void RefreshReport();
    void SlideStep();
    void CheckNetwork();
    void ShowHandleState();

    /// Shows `currentAirport` at the next tick after a network check.
    void hurry();
    /// Stops the cycle (while the settings window is open); a build in flight is dropped.
    void pause();
    /// Restarts the cycle with a network check, unless a build or check is already under way.
    void resume();

    TickerState &state() { return m_state; }
    SettingsStore &store() { return *m_store; }
    /// The pop-up menu, owned by the (hidden) settings window.
    PopupMenu &popupMenu();
    SettingsWindow *settingsWindow() const { return m_settings.get(); }
    ReportBuilder &reportBuilder() { return *m_builder; }
    TickerLabel *lbl(int index) const { return m_lbl[index]; }
    QTimer &Timer(int index) { return m_timer[index]; }
    QString homePageUrl() const { return m_homePageUrl; }
    bool isCheckingNetwork() const { return m_checkReply != nullptr; }
    /// Where a first run puts the window, and where an unreachable stored place falls back to.
    static QPoint defaultPosition();
    /// The stored place in pixels, or the default when it is 0 or lies on no present screen.
    static QPoint startPosition(float posX, float posY);

    /// Re-reads colour, size and boldness from the settings and lays the labels out again.
    void applyTextSettings();
    /// Size and boldness of the three labels, then the window fitted to them.
    void setTextFont(double pointSize, bool bold);
    void setTextColor(const QColor &color);
    /// Fits the window to the wider text label and puts the labels at rest below the handle.
    void Relayout();
    void setPointerOnHandle(bool onHandle);
    void setAnyChecked(bool anyChecked) { m_state.anyChecked = anyChecked; }

    /// A modal window opened from the menu: the steps after the menu wait for it to close.
    void beginModal() { m_modalOpen = true; }
    void endModal();
    /// The right click on the handle: the target submenu rebuilt, the menu shown at `globalPos`.
    void showPopupMenu(const QPoint &globalPos);
    /// What follows every use of the menu: sliding off when nothing is checked, a network check.
    void afterPopupMenu();

signals:
    /// The window has closed and the store is shut: the program may end.
    void exited();

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_QueryUnload();
    void showReport(const QString &airport, const QString &builtText);
    /// `text` with lines that would run past the screen's right edge wrapped.
    QString fittedToScreen(const QString &text) const;
    void showMessage(const QString &message);
    /// The next checked target after `shown` becomes `currentAirport`.
    void rotate(const QString &shown);
    bool anyTargetChecked();
    void fitWindowTo(int index);
    void resizeWindow(int width, int height);
    void updateShape();
    void savePositionIfMoved();
    /// Moves the window to a place the program or the user chose: the one that is saved.
    void placeAt(const QPoint &place);
    /// Ends a slide at once: the new text at rest, the window fitted to it.
    void finishSlide();
    void loadSettingsWindow();
    /// Sliding and scrolling off in the settings and in the menu.
    void switchSlidingOff();

    QString m_databaseDirectory;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ReportBuilder> m_builder;
    std::unique_ptr<SettingsWindow> m_settings;
    TickerState m_state;
    std::array<TickerLabel *, 3> m_lbl{};
    std::array<QTimer, 4> m_timer;
    QString m_homePageUrl;
    QPointer<QNetworkReply> m_checkReply;
    QRegion m_slideShape; ///< both texts' shape during a slide, in the display label's coordinates
    enum class DragState { None, System, Following };
    DragState m_dragState = DragState::None;
    QPoint m_dragOffset;    ///< the pointer's offset in the window when the handle was pressed
    bool m_pressed = false; ///< the left button went down on the handle; a move drags
    QPoint m_place;         ///< where the user or the program put the window
    bool m_modalOpen = false;
    bool m_loaded = false;
    bool m_closed = false;
};
