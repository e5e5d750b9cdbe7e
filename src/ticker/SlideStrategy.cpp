// The three ways of sliding a new text in: labels, a moving shape, copies on the X server.
#include "ticker/SlideStrategy.h"

#include "platform/ServerSlide.h"
#include "platform/WindowShape.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerView.h"

#include <QPainter>
#include <QWidget>

bool LabelSlide::begin()
{
    m_view.staging()->show();
    return true;
}

ShapeSlide::ShapeSlide(TickerView &view, QWidget *window)
    : SlideStrategy(view, window), m_shape(std::make_unique<MovingShape>(window))
{}

ShapeSlide::~ShapeSlide() = default;

bool ShapeSlide::begin()
{
    m_view.staging()->show();
    m_shape->set(m_view.handleSquare(), m_view.slideText());
    return true;
}

void ShapeSlide::step()
{
    m_shape->moveTo(m_view.display()->pos());
}

void ShapeSlide::end()
{
    m_shape->clear();
}

ServerCopySlide::ServerCopySlide(TickerView &view, QWidget *window)
    : LabelSlide(view, window), m_server(std::make_unique<ServerSlide>(window))
{}

ServerCopySlide::~ServerCopySlide() = default;

bool ServerCopySlide::begin()
{
    const TickerLabel *staging = m_view.staging();
    TickerLabel *display = m_view.display();
    const qreal ratio = m_window->devicePixelRatioF();
    m_content = QImage(QSize(m_window->width(), display->height() + staging->height()) * ratio,
                       QImage::Format_ARGB32_Premultiplied);
    m_content.setDevicePixelRatio(ratio);
    m_content.fill(Qt::transparent);
    QPainter painter(&m_content);
    painter.drawImage(0, 0, display->image());
    painter.drawImage(0, display->height(), staging->image());
    painter.end();
    m_contentRegion = m_view.slideText();
    m_handlePatched = false;
    if (!m_server->start(m_content, m_view.handle()->geometry())) {
        m_content = QImage();
        return LabelSlide::begin();
    }
    // The toolkit draws their place empty and the server draws the texts over it at once.
    const QRect area = (display->geometry() | staging->geometry()) & m_window->rect();
    display->hide();
    m_view.staging()->hide();
    m_window->repaint(area);
    step();
    return true;
}

void ServerCopySlide::step()
{
    if (!m_server->isStarted())
        return; // the toolkit moves the labels
    const TickerLabel *display = m_view.display();
    const TickerLabel *handle = m_view.handle();
    m_server->showAt(display->pos());
    // The copies leave the handle alone; while text passes under it, the two are drawn together
    // there, and once more when the text has gone.
    const bool underHandle =
        m_contentRegion.intersects(handle->geometry().translated(-display->pos()));
    if (!underHandle && !m_handlePatched)
        return;
    m_handlePatched = underHandle;
    const qreal ratio = m_window->devicePixelRatioF();
    QImage patch(handle->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    patch.setDevicePixelRatio(ratio);
    patch.fill(Qt::transparent);
    QPainter painter(&patch);
    painter.drawImage(display->pos() - handle->pos(), m_content);
    painter.drawImage(0, 0, handle->image());
    painter.end();
    m_server->patch(patch, handle->pos());
}

void ServerCopySlide::end()
{
    if (!m_server->isStarted())
        return;
    m_server->stop();
    m_content = QImage();
    m_view.display()->show();
    m_window->update(); // the toolkit's picture replaces whatever the server last copied
}
