// The ticker window `main`: a borderless, see-through window of report text and its handle.
#pragma once

#include "desktop/WindowPlacement.h"
#include "report/TickerCycle.h"
#include "ticker/DragHandle.h"
#include "ticker/TickerView.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class CompositorWatch;
class SlideStrategy;
class TickerLabel;

/// Shows what the cycle says: it lays out and shapes its labels, slides a new text in the way
/// this desktop allows, is dragged by its handle and asks for the pop-up menu.
class TickerWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit TickerWindow(QWidget *parent = nullptr);
    ~TickerWindow() override;

    TickerView &view() { return m_view; }
    TickerLabel *lbl(int index) const { return m_view.lbl(index); }
    /// The time between two steps of a slide (`scrollrate`, ms).
    void setSlideInterval(int milliseconds) { m_slideTimer.setInterval(milliseconds); }
    int slideInterval() const { return m_slideTimer.interval(); }
    /// A new text is sliding in, step by step.
    bool isSliding() const { return m_slideTimer.isActive(); }
    /// Stops the steps where they are: a slide under way goes on only by SlideStep().
    void holdSlide() { m_slideTimer.stop(); }

    /// The handle alone, shown at `shown`; its place stays `place`.
    void showAt(const QPoint &shown, const QPoint &place);
    /// Where the user or the program put the window: the place that is saved.
    QPoint place() const { return m_drag.place(); }
    /// Where it bypasses the window manager, and so stands above every window, it stands aside
    /// from the program's other windows while they are shown (StandAside): these are the frames
    /// of those of the program's other processes. Its place stays.
    void keepClearOf(const QList<QRect> &otherWindows) { m_aside.setOtherWindows(otherWindows); }
    /// Out of the way of the program's other windows: elsewhere than its place, or hidden.
    bool standsAside() const { return m_aside.isAside(); }

    /// Size and boldness of the three labels, then the window fitted to them.
    void setTextFont(double pointSize, bool bold);
    void setTextColor(const QColor &color);
    /// Texts and handle with an edge that reads on any wallpaper.
    void setOutlined(bool outlined);
    /// Colours the handle for a report's flight category; Unknown gives it the text colour.
    void showCategory(FlightCategory category);
    QColor handleColor(FlightCategory category) const { return m_view.handleColor(category); }
    /// Fits the window to the wider text label and puts the labels at rest below the handle.
    void Relayout();

    /// A new report: slid in or in place of the old one.
    void showReport(const QString &builtText, TickerCycle::Entry entry, FlightCategory category);
    /// One of the fixed messages, in place of the report.
    void showMessage(const QString &message);
    /// One step of a slide; the last one puts the new text at rest and says so.
    void SlideStep();
    /// Ends a slide at once: the new text at rest, the window fitted to it.
    void finishSlide();

    /// Draws the handle filled while the pointer is on it, hollow otherwise.
    void ShowHandleState();
    void setPointerOnHandle(bool onHandle);
    bool pointerOnHandle() const { return m_pointerOnHandle; }
    /// The right click on the handle.
    void showPopupMenu(const QPoint &globalPos) { emit popupRequested(globalPos); }

    /// Whether the window is drawn for a compositing manager: antialiased text on a see-through
    /// window, no bounding shape. Follows the desktop at each change of text.
    bool composited() const;
    /// Where the window is drawn (empty: all of it, the compositor blends it) and where it takes
    /// the pointer, in the window's device pixels, as last given to the window system.
    QRegion visibleShape() const { return m_visibleShape; }
    QRegion inputShape() const { return m_inputShape; }

signals:
    /// A new text has slid in.
    void slideFinished();
    void popupRequested(const QPoint &globalPos);
    /// A left double-click on the text: the decode of what it shows is asked for.
    void decodeRequested();
    /// The window is being closed: the program ends.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Draws for the desktop as it is now: with or without a compositing manager.
    void followCompositor();
    void endSlide();
    void fitWindowTo(int index) { resizeWindow(m_view.sizeFor(index)); }
    void resizeWindow(QSize size);
    void updateShape();
    bool handleMouse(int index, QEvent *event);

    TickerView m_view;
    DragHandle m_drag;
    StandAside m_aside;
    std::unique_ptr<CompositorWatch> m_compositor;
    std::unique_ptr<SlideStrategy> m_slide;    ///< the way of the desktop as last seen
    std::unique_ptr<SlideStrategy> m_fallback; ///< where m_slide cannot begin; may be null
    SlideStrategy *m_active = nullptr;         ///< the one that began the slide under way
    FlightCategory m_slideCategory = FlightCategory::Unknown; ///< of the text sliding in
    QTimer m_slideTimer;
    QTimer m_handleTimer; ///< one shot per pointer change, instead of a poll
    QRegion m_visibleShape;
    QRegion m_inputShape;
    bool m_shapesSent = false; ///< the native window has the shapes above
    double m_pointSize = 0;    ///< 0 until the text settings first come
    bool m_bold = false;
    bool m_pointerOnHandle = false;
    bool m_hinted = false; ///< the window manager has been told what the window is
};
