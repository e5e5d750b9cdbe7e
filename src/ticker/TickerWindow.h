// The ticker window `main`: a borderless, see-through window of report text and its handle.
#pragma once

#include "ticker/TickerCycle.h"

#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

class CompositorWatch;
class DesktopNotice;
class MovingShape;
class ServerSlide;
class ReportBuilder;
class SettingsStore;
class SingleInstance;
class TickerLabel;
class TickerMenu;

/// Loads and closes the program, and shows what the cycle says: it paints, shapes, slides the
/// text in, is dragged by its handle and shows the pop-up menu.
class TickerWindow final : public QWidget
{
    Q_OBJECT
public:
    /// Indexes of `lbl`.
    enum LabelIndex { Staging = 0, Display = 1, Handle = 2 };

    static constexpr auto handleHollow = "□";
    static constexpr auto handleFilled = "■";

    /// A ticker over the database in `databaseDirectory`; nothing is opened until Form_Load.
    explicit TickerWindow(const QString &databaseDirectory, QWidget *parent = nullptr);
    ~TickerWindow() override;

    /// Starts the ticker. False when the program must end: another instance runs, or the
    /// database or its folder cannot be used; the user is being told in startMessage().
    bool Form_Load();
    /// The box that says why the ticker did not start, while it is open.
    QMessageBox *startMessage() const { return m_startMessage; }

    SettingsStore &store() { return *m_store; }
    TickerCycle &cycle() { return *m_cycle; }
    TickerMenu &menu() { return *m_menu; }
    ReportBuilder &reportBuilder() { return *m_builder; }
    TickerLabel *lbl(int index) const { return m_lbl[index]; }
    /// `Timer`(1): one step of the new text sliding in, every `scrollrate` ms.
    QTimer &slideTimer() { return m_slideTimer; }
    QString homePageUrl() const { return m_homePageUrl; }

    /// Where a first run puts the window, and where an unreachable stored place falls back to.
    static QPoint defaultPosition();
    /// The stored place in pixels, or the default when it is 0 or lies on no present screen.
    static QPoint startPosition(float posX, float posY);

    /// Re-reads colour, size and boldness from the settings and lays the labels out again.
    void applyTextSettings();
    /// Size and boldness of the three labels, then the window fitted to them.
    void setTextFont(double pointSize, bool bold);
    void setTextColor(const QColor &color);
    /// Colours the handle for a report's flight category; Unknown gives it the text colour.
    void showCategory(FlightCategory category);
    /// The handle's colour for `category` (the text colour for Unknown).
    QColor handleColor(FlightCategory category) const;
    /// Fits the window to the wider text label and puts the labels at rest below the handle.
    void Relayout();

    /// One step of a slide; the last one puts the new text at rest and tells the cycle.
    void SlideStep();
    /// Draws the handle filled while the pointer is on it, hollow otherwise.
    void ShowHandleState();
    void setPointerOnHandle(bool onHandle);
    bool pointerOnHandle() const { return m_pointerOnHandle; }
    /// The right click on the handle.
    void showPopupMenu(const QPoint &globalPos);

    /// Whether the window is drawn for a compositing manager: antialiased text on a see-through
    /// window, no bounding shape. Follows the desktop at each change of text.
    bool composited() const { return m_composited; }
    /// Where the window is drawn (empty: all of it, the compositor blends it) and where it takes
    /// the pointer, in window coordinates, as last given to the window system.
    QRegion visibleShape() const { return m_visibleShape; }
    QRegion inputShape() const { return m_inputShape; }

signals:
    /// The window has closed and the store is shut: the program may end.
    void exited();

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_QueryUnload();
    void showReport(const QString &builtText, TickerCycle::Entry entry, FlightCategory category);
    void showMessage(const QString &message);
    /// `text` with lines that would run past the screen's right edge wrapped.
    QString fittedToScreen(const QString &text) const;
    /// Ends a slide at once: the new text at rest, the window fitted to it.
    void finishSlide();
    /// Under a compositor: both texts to the server, which moves them from here on. False
    /// where it cannot; the toolkit then moves them.
    bool startServerSlide();
    /// One step on the server: the texts where the labels are now, the handle over them.
    void showServerStep();
    /// Back to the toolkit's drawing: the texts change, or the slide is over.
    void stopServerSlide();
    void fitWindowTo(int index);
    void resizeWindow(int width, int height);
    void updateShape();
    /// Draws for the desktop as it is now: with or without a compositing manager.
    void followCompositor();
    QRegion handleSquare() const;
    /// The drawn pixels of both texts, the new one below the old, as they slide together.
    QRegion slideText() const;
    /// Moves the window to a place the program or the user chose: the one that is saved.
    void placeAt(const QPoint &place);
    void savePositionIfMoved();
    bool handleMouse(int index, QEvent *event);

    QString m_databaseDirectory;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<ReportBuilder> m_builder;
    QtCycleClock m_clock;
    std::unique_ptr<TickerCycle> m_cycle;
    std::unique_ptr<TickerMenu> m_menu;
    std::unique_ptr<DesktopNotice> m_notice;
    std::array<TickerLabel *, 3> m_lbl{};
    QTimer m_slideTimer;
    QTimer m_handleTimer; ///< one shot per pointer change, instead of a poll
    QString m_homePageUrl;
    QPointer<QMessageBox> m_startMessage;
    std::unique_ptr<CompositorWatch> m_compositor;
    std::unique_ptr<MovingShape> m_slideShape; ///< both texts' shape, moved at each slide step
    std::unique_ptr<ServerSlide> m_serverSlide;
    QImage m_slideContent;        ///< both texts, one above the other, as the server holds them
    QRegion m_slideRegion;        ///< the pixels of m_slideContent that are drawn
    bool m_handlePatched = false; ///< the last step drew text under the handle
    QRegion m_visibleShape;
    QRegion m_inputShape;
    QColor m_textColor;
    FlightCategory m_category = FlightCategory::Unknown;
    bool m_composited = false;
    bool m_shapesSent = false; ///< the native window has had its shapes
    enum class DragState { None, System, Following };
    DragState m_dragState = DragState::None;
    QPoint m_dragOffset;    ///< the pointer's offset in the window when the handle was pressed
    bool m_pressed = false; ///< the left button went down on the handle; a move drags
    QPoint m_place;         ///< where the user or the program put the window
    bool m_pointerOnHandle = false;
    bool m_loaded = false;
    bool m_closed = false;
};
