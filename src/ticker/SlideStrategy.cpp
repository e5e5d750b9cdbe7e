// The three ways of sliding a new text in: labels, a moving shape, copies on the X server.
#include "ticker/SlideStrategy.h"

#include "desktop/ServerSlide.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerView.h"

#include <QPainter>
#include <QWidget>

namespace {

/// Draws `image` pixel for pixel at `at`, whatever scale it was drawn for.
void DrawPixels(QPainter &painter, const QPoint &at, const QImage &image)
{
    painter.drawImage(QRect(at, image.size()), image, image.rect());
}

} // namespace

SlideStrategy::SlideStrategy(TickerView &view, QWidget *window, MovingShape::Kind shape)
    : m_view(view), m_window(window), m_shape(std::make_unique<MovingShape>(window, shape))
{}

SlideStrategy::~SlideStrategy() = default;

void SlideStrategy::followTexts(int trail)
{
    // The new text starts right below the old one, where the first step will find it.
    TickerLabel *display = m_view.display();
    m_view.staging()->move(display->x(), display->y() + display->height());
    QList<QRegion> texts{display->textRegion(), m_view.staging()->textRegion()};
    for (QRegion &text : texts) {
        const QRegion rest = text;
        for (int row = 1; row <= trail; ++row)
            text += rest.translated(0, -row);
    }
    m_shape->set(m_view.handleSquare(), texts);
}

void SlideStrategy::moveShape()
{
    // Each text by its own offset: at a fractional scale the two are not always the same number
    // of device pixels apart.
    if (m_shape->isSet())
        m_shape->moveTo(
            {m_view.deviceOrigin(TickerView::Display), m_view.deviceOrigin(TickerView::Staging)});
}

bool LabelSlide::begin()
{
    m_view.staging()->show();
    followTexts(coveredRows());
    coverComingSteps();
    return true;
}

int LabelSlide::coveredRows() const
{
    return qCeil((stepsPerInputShape - 1) * TickerView::slideRise() * m_view.ratio());
}

void LabelSlide::step()
{
    if (m_stepsCovered > 0)
        --m_stepsCovered;
    else
        coverComingSteps();
}

void LabelSlide::coverComingSteps()
{
    // Each text's shape reaches as far above it as the next steps take it.
    moveShape();
    m_stepsCovered = stepsPerInputShape - 1;
}

bool ShapeSlide::begin()
{
    m_view.staging()->show();
    followTexts();
    return true;
}

ServerCopySlide::ServerCopySlide(TickerView &view, QWidget *window)
    : LabelSlide(view, window), m_server(std::make_unique<ServerSlide>(window))
{}

ServerCopySlide::~ServerCopySlide() = default;

bool ServerCopySlide::begin()
{
    TickerLabel *staging = m_view.staging();
    TickerLabel *display = m_view.display();
    const QImage &old = display->image();
    const QImage &incoming = staging->image();
    // At a fractional scale the new text lands a device row lower on some steps than on others:
    // the old text's part has a clear row to spare, which the new text's copy covers otherwise.
    m_oldPart = QRect(0, 0, qMax(old.width(), incoming.width()), old.height() + 1);
    m_newPart = QRect(0, m_oldPart.height(), m_oldPart.width(), incoming.height());
    QImage content(m_oldPart.width(), m_oldPart.height() + m_newPart.height(),
                   QImage::Format_ARGB32_Premultiplied);
    content.fill(Qt::transparent);
    QPainter painter(&content);
    DrawPixels(painter, m_oldPart.topLeft(), old);
    DrawPixels(painter, m_newPart.topLeft(), incoming);
    painter.end();
    m_keep = DeviceRect(m_view.handle()->geometry(), m_view.ratio());
    m_handlePatched = false;
    if (!m_server->start(content, m_keep))
        return false;
    followTexts(coveredRows());
    // The toolkit draws their place empty and the server draws the texts over it at once.
    const QRect area = (display->geometry() | staging->geometry()) & m_window->rect();
    display->hide();
    staging->hide();
    m_window->repaint(area);
    step();
    return true;
}

void ServerCopySlide::step()
{
    const TickerLabel *display = m_view.display();
    const TickerLabel *staging = m_view.staging();
    const QPoint oldAt = m_view.deviceOrigin(TickerView::Display);
    const QPoint newAt = m_view.deviceOrigin(TickerView::Staging);
    m_server->showAt(oldAt, m_oldPart);
    m_server->showAt(newAt, m_newPart);
    LabelSlide::step();
    // The copies leave the handle alone; while text passes under it, the two are drawn together
    // there, and once more when the text has gone.
    const bool underHandle = display->textRegion().intersects(m_keep.translated(-oldAt)) ||
                             staging->textRegion().intersects(m_keep.translated(-newAt));
    if (!underHandle && !m_handlePatched)
        return;
    m_handlePatched = underHandle;
    QImage patch(m_keep.size(), QImage::Format_ARGB32_Premultiplied);
    patch.fill(Qt::transparent);
    QPainter painter(&patch);
    DrawPixels(painter, oldAt - m_keep.topLeft(), display->image());
    DrawPixels(painter, newAt - m_keep.topLeft(), staging->image());
    DrawPixels(painter, m_view.deviceOrigin(TickerView::Handle) - m_keep.topLeft(),
               m_view.handle()->image());
    painter.end();
    m_server->patch(patch, m_keep.topLeft());
}

void ServerCopySlide::end()
{
    LabelSlide::end();
    m_server->stop();
    m_view.display()->show();
    m_window->update(); // the toolkit's picture replaces whatever the server last copied
}
