// Ticker labels: plain text only, a report is data and never markup.
#include "ticker/TickerLabel.h"

#include "platform/WindowShape.h"

#include <QEvent>

TickerLabel::TickerLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TickerLabel::setCaption(const QString &caption)
{
    if (caption == m_caption && !text().isNull())
        return;
    m_caption = caption;
    QString shown = caption;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setText(shown);
    refit();
}

void TickerLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        refit();
}

void TickerLabel::refit()
{
    // Not adjustSize(): that caps the width at part of the screen, and a report line is long.
    resize(sizeHint());
    m_region = m_caption.isEmpty() ? QRegion() : DrawnRegion(this);
}
