// The drag of the ticker by its handle: handed to the window manager, or followed here.
#include "ticker/DragHandle.h"

#include "desktop/WindowShape.h"
#include "platform/Twips.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

namespace {

/// Where the window itself is: a frame's corner would move the window by the frame's width at
/// each start.
QPoint ownPlace(const QWidget *window)
{
    return window->geometry().topLeft();
}

} // namespace

QPoint DragHandle::defaultPosition()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    return area.topLeft() + QPoint(area.width() / 2, area.height() / 2);
}

QPoint DragHandle::storedPosition(float posX, float posY)
{
    const QPoint centre = defaultPosition();
    return {posX == 0.0f ? centre.x() : twipsToPixels(posX),
            posY == 0.0f ? centre.y() : twipsToPixels(posY)};
}

QPoint DragHandle::startPosition(float posX, float posY)
{
    const QPoint centre = defaultPosition();
    const QPoint stored = storedPosition(posX, posY);
    // A place on no present screen (a monitor removed) would leave the ticker, and its menu,
    // out of reach. Any overlap with a screen keeps the stored place.
    const QRect window(stored, QSize(40, 20));
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(window))
            return stored;
    }
    return centre;
}

void DragHandle::showAt(const QPoint &shown, const QPoint &place)
{
    m_place = place;
    m_window->setGeometry(QRect(shown, m_window->size()));
}

void DragHandle::windowResized()
{
    if (!m_window->isVisible() || m_state != State::None || m_aside ||
        ownPlace(m_window) == m_place)
        return;
    const QScreen *screen = QGuiApplication::screenAt(m_place);
    if (screen && screen->availableGeometry().contains(QRect(m_place, m_window->size())))
        m_window->setGeometry(QRect(m_place, m_window->size()));
}

void DragHandle::pressed(const QMouseEvent *event)
{
    // Asked at the press, the window manager anchors its move at the point pressed, which then
    // stays under the pointer; asked at the first movement, it would lose that movement. The
    // window still moves only when the pointer does.
    m_offset = event->globalPosition().toPoint() - ownPlace(m_window);
    m_pressed = !StartSystemMove(m_window);
    m_state = m_pressed ? State::None : State::System;
}

void DragHandle::moved(const QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        if (m_state == State::Following)
            m_state = State::None;
        m_pressed = false;
    } else if (m_state == State::Following) {
        placeAt(event->globalPosition().toPoint() - m_offset);
    } else if (m_state == State::None && m_pressed && event->buttons() == Qt::LeftButton) {
        // No window manager took the drag: follow the pointer here, from the point pressed,
        // until the button is released.
        m_pressed = false;
        m_state = State::Following;
        placeAt(event->globalPosition().toPoint() - m_offset);
    }
}

void DragHandle::released()
{
    // A drag of the window manager's ends with its last move (see windowMoved).
    if (m_state == State::Following)
        m_state = State::None;
    m_pressed = false;
}

void DragHandle::windowMoved()
{
    // Only the user's drag chooses a place; a window manager that pushes a grown window back
    // onto the screen does not. The manager's last move of a drag may come after the button is
    // up: it is still the user's, and the drag ends with it.
    if (m_state == State::System) {
        m_place = ownPlace(m_window);
        if (!PrimaryButtonHeld())
            m_state = State::None;
    }
}

void DragHandle::windowResizing()
{
    // A drag handed to the window manager ends with a release we never see; once the button is
    // up, later moves (the manager keeping a grown window on screen) are not the user's.
    if (m_state == State::System && !PrimaryButtonHeld())
        m_state = State::None;
}
