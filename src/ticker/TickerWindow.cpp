// The ticker window: the texts and their slide, the shape and the handle.
#include "ticker/TickerWindow.h"

#include "desktop/Compositor.h"
#include "desktop/WindowHints.h"
#include "desktop/WindowShape.h"
#include "platform/Twips.h"
#include "ticker/SlideStrategy.h"
#include "ticker/TickerLabel.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <utility>

namespace {

const QChar CR(u'\r');

} // namespace

TickerWindow::TickerWindow(QWidget *parent)
    : QWidget(parent, DesktopGadgetFlags()), m_view(this), m_drag(this), m_aside(this),
      m_compositor(std::make_unique<CompositorWatch>())
{
    // The ticker takes no keys: with the focus, the window manager's close key would end the
    // program, for instance right after the settings window closed and handed the focus back.
    // It says so as a window that takes no input at all (DesktopGadgetFlags, MarkAsDesktopGadget),
    // never by a user time of 0 at its map (Qt::WA_ShowWithoutActivating): KWin refuses such a
    // window the activation it never wanted and then marks it as demanding attention.
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Tarnbeck"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    for (int i : {TickerView::Staging, TickerView::Display, TickerView::Handle})
        lbl(i)->installEventFilter(this);

    // Standing aside is no move of the user's: the place stays.
    connect(&m_aside, &StandAside::asideChanged, this,
            [this](bool aside) { m_drag.setAside(aside); });
    connect(&m_slideTimer, &QTimer::timeout, this, &TickerWindow::SlideStep);
    m_handleTimer.setSingleShot(true);
    m_handleTimer.setInterval(0);
    connect(&m_handleTimer, &QTimer::timeout, this, &TickerWindow::ShowHandleState);
    followCompositor();
}

TickerWindow::~TickerWindow() = default;

void TickerWindow::showAt(const QPoint &shown, const QPoint &place)
{
    fitWindowTo(TickerView::Handle);
    m_drag.showAt(shown, place);
    show();
}

bool TickerWindow::composited() const
{
    return m_slide->forCompositor();
}

void TickerWindow::followCompositor()
{
    const bool running = m_compositor->running();
    if (m_slide && m_slide->forCompositor() == running)
        return;
    endSlide();
    if (running) {
        m_slide = std::make_unique<ServerCopySlide>(m_view, this);
        m_fallback = std::make_unique<LabelSlide>(m_view, this);
    } else {
        m_slide = std::make_unique<ShapeSlide>(m_view, this);
        m_fallback.reset();
    }
    if (m_pointSize > 0) // not before the first text settings
        setTextFont(m_pointSize, m_bold);
}

void TickerWindow::setTextColor(const QColor &color)
{
    m_view.setTextColor(color);
    updateShape();
}

void TickerWindow::setOutlined(bool outlined)
{
    // The texts change size: a slide under way ends where its last step would.
    const bool sliding = m_slideTimer.isActive();
    if (sliding)
        finishSlide();
    m_view.setOutlined(outlined);
    Relayout();
    if (sliding)
        emit slideFinished();
}

void TickerWindow::showCategory(FlightCategory category)
{
    if (m_view.showCategory(category))
        updateShape();
}

void TickerWindow::setTextFont(double pointSize, bool bold)
{
    m_pointSize = pointSize;
    m_bold = bold;
    // A bounding shape follows the glyphs pixel by pixel: smoothed edges would show dark.
    m_view.setTextFont(pointSize, bold, m_slide->forCompositor());
    Relayout();
}

void TickerWindow::Relayout()
{
    resizeWindow(m_view.layOut());
}

void TickerWindow::closeEvent(QCloseEvent *event)
{
    m_aside.stop(); // a window it stood aside for may close after it: it stays closed
    m_slideTimer.stop();
    emit closing();
    event->accept();
}

void TickerWindow::showReport(const QString &builtText, TickerCycle::Entry entry,
                              FlightCategory category)
{
    followCompositor();
    const QString text = m_view.fittedToScreen(builtText, place()) + CR; // an empty last line
    TickerLabel *staging = m_view.staging();
    TickerLabel *display = m_view.display();
    endSlide();                 // the texts change: a slide under way starts again from here
    m_slideCategory = category; // the handle tells of the new text once it is shown
    if (entry == TickerCycle::Entry::SlideIn) {
        staging->setCaption(text);
        // A wider new text widens the window now; a narrower one waits for the slide's end.
        if (display->width() < staging->width())
            fitWindowTo(TickerView::Staging);
        m_slideTimer.start();
    } else {
        showCategory(category);
        staging->hide();
        staging->setCaption(text);
        display->setCaption(text);
        fitWindowTo(TickerView::Display);
    }
    display->show();
    m_view.handle()->show();
    updateShape();
}

void TickerWindow::showMessage(const QString &message)
{
    followCompositor();
    endSlide();
    m_slideCategory = FlightCategory::Unknown;
    showCategory(FlightCategory::Unknown);
    m_view.display()->setCaption(message);
    m_view.display()->show();
    m_view.handle()->show();
    fitWindowTo(TickerView::Display);
}

void TickerWindow::moveEvent(QMoveEvent *event)
{
    m_drag.windowMoved();
    QWidget::moveEvent(event);
}

void TickerWindow::SlideStep()
{
    TickerLabel *staging = m_view.staging();
    TickerLabel *display = m_view.display();
    if (!m_active) {
        if (m_slide->begin())
            m_active = m_slide.get();
        else if (m_fallback && m_fallback->begin())
            m_active = m_fallback.get();
    }
    display->move(0, display->y() - TickerView::slideRise());
    staging->move(0, display->y() + display->height());
    if (staging->y() > m_view.handle()->height()) {
        if (m_active)
            m_active->step();
        return;
    }
    finishSlide();
    emit slideFinished();
}

void TickerWindow::endSlide()
{
    if (!m_active)
        return;
    std::exchange(m_active, nullptr)->end();
    m_shapesSent = false; // the slide changed the shapes behind our back
}

void TickerWindow::finishSlide()
{
    TickerLabel *staging = m_view.staging();
    TickerLabel *display = m_view.display();
    m_slideTimer.stop();
    display->move(0, m_view.handle()->y() + m_view.handle()->height());
    display->setCaption(staging->caption());
    staging->hide();
    endSlide();
    showCategory(m_slideCategory);
    fitWindowTo(TickerView::Display);
}

void TickerWindow::ShowHandleState()
{
    if (m_view.showHandleState(m_pointerOnHandle))
        updateShape();
}

void TickerWindow::setPointerOnHandle(bool onHandle)
{
    if (m_pointerOnHandle == onHandle)
        return;
    m_pointerOnHandle = onHandle;
    m_handleTimer.start();
}

void TickerWindow::resizeWindow(QSize size)
{
    m_drag.windowResizing();
    // Never smaller than the handle: it is the only way to the menu.
    resize(size.expandedTo(m_view.handle()->size()));
    m_drag.windowResized();
    updateShape();
}

void TickerWindow::updateShape()
{
    // The pointer is taken only on the text and anywhere in the handle's square; everywhere
    // else it reaches the desktop. Without a compositor only the drawn pixels and the square are
    // shown: the X server takes input only where the window is shown, and a square whose inside
    // let the pointer through could not be grabbed there.
    const QRegion input = m_view.drawnRegion() & DeviceRect(rect(), m_view.ratio());
    const QRegion visible = m_slide->boundingShape(input);
    if ((visible != m_visibleShape || !m_shapesSent) && SetBoundingShape(this, visible))
        m_visibleShape = visible;
    if ((input != m_inputShape || !m_shapesSent) && SetInputShape(this, input))
        m_inputShape = input;
    m_shapesSent = m_shapesSent || internalWinId();
}

void TickerWindow::showEvent(QShowEvent *event)
{
    // The native window exists from here, before it is mapped.
    QWidget::showEvent(event);
    if (!m_hinted) {
        MarkAsDesktopGadget(this);
        m_hinted = true;
    }
    if (!m_shapesSent)
        updateShape();
}

bool TickerWindow::eventFilter(QObject *watched, QEvent *event)
{
    for (int i : {TickerView::Handle, TickerView::Display, TickerView::Staging}) {
        if (watched == lbl(i) && handleMouse(i, event))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TickerWindow::handleMouse(int index, QEvent *event)
{
    const bool onHandle = index == TickerView::Handle;
    switch (event->type()) {
    case QEvent::Enter:
        setPointerOnHandle(onHandle);
        return false;
    case QEvent::Leave:
        // Off the square, wherever the pointer went: the hollow square again.
        if (onHandle)
            setPointerOnHandle(false);
        return false;
    case QEvent::MouseMove:
        setPointerOnHandle(onHandle);
        m_drag.moved(static_cast<QMouseEvent *>(event));
        if (!(static_cast<QMouseEvent *>(event)->buttons() & Qt::LeftButton))
            m_aside.setHeld(false);
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: { // a quick second press (the menu again) is a press too
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (onHandle && mouse->button() == Qt::LeftButton) {
            m_aside.setHeld(true); // no standing aside under the user's drag
            m_drag.pressed(mouse);
        }
        if (onHandle && mouse->button() == Qt::RightButton)
            showPopupMenu(mouse->globalPosition().toPoint());
        if (!onHandle && mouse->button() == Qt::LeftButton &&
            event->type() == QEvent::MouseButtonDblClick)
            emit decodeRequested();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_drag.released();
        m_aside.setHeld(false); // where the user left it is its place
        return true;
    default:
        return false;
    }
}
