// The ticker's labels: font, colours, the handle and wrapping to the screen.
#include "ticker/TickerView.h"

#include "desktop/Fonts.h"
#include "desktop/WindowShape.h"
#include "platform/Twips.h"
#include "report/LineWrap.h"
#include "ticker/TickerLabel.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

TickerView::TickerView(QWidget *window)
{
    for (int i : {Staging, Display, Handle}) {
        m_lbl[i] = new TickerLabel(window);
        m_lbl[i]->setObjectName(QStringLiteral("lbl%1").arg(i));
        m_lbl[i]->hide();
    }
    handle()->setCaption(QString::fromUtf8(handleHollow));
    handle()->setToolTip(QStringLiteral(" 左ドラッグ ： 画面移動　右クリック ： メニュー表示 "));
    handle()->setCursor(Qt::SizeAllCursor);
}

void TickerView::setTextFont(double pointSize, bool bold, bool antialiased)
{
    QFont font = shapedGothicFont(12, bold);
    font.setPointSizeF(pointSize);
    if (antialiased)
        font.setStyleStrategy(QFont::PreferAntialias);
    for (TickerLabel *label : m_lbl)
        label->setFont(font);
}

void TickerView::setTextColor(const QColor &color)
{
    m_textColor = color;
    for (int i : {Display, Staging}) {
        QPalette palette = m_lbl[i]->palette();
        palette.setColor(QPalette::WindowText, color);
        m_lbl[i]->setPalette(palette);
    }
    refreshHandle();
}

void TickerView::setOutlined(bool outlined)
{
    for (TickerLabel *label : m_lbl)
        label->setOutlined(outlined);
}

QColor TickerView::handleColor(FlightCategory category) const
{
    switch (category) {
    case FlightCategory::VFR:
        return QColor(0x00, 0xd0, 0x00);
    case FlightCategory::MVFR:
        return QColor(0x30, 0x70, 0xff);
    case FlightCategory::IFR:
        return QColor(0xff, 0x20, 0x20);
    case FlightCategory::LIFR:
        return QColor(0xff, 0x00, 0xff);
    case FlightCategory::Unknown:
        break;
    }
    return m_textColor;
}

bool TickerView::showCategory(FlightCategory category)
{
    m_category = category;
    return refreshHandle();
}

bool TickerView::showHandleState(bool pointerOnHandle)
{
    m_pointerOnHandle = pointerOnHandle;
    return refreshHandle();
}

bool TickerView::refreshHandle()
{
    // A one-pixel outline in a category's colour is lost on a busy desktop: the category fills
    // the square. The pointer on it fills it in the text colour, so the hover still shows.
    const bool categoryShown = m_category != FlightCategory::Unknown && !m_pointerOnHandle;
    QPalette palette = handle()->palette();
    palette.setColor(QPalette::WindowText, categoryShown ? handleColor(m_category) : m_textColor);
    handle()->setPalette(palette);
    const QString wanted =
        QString::fromUtf8(m_pointerOnHandle || categoryShown ? handleFilled : handleHollow);
    if (handle()->caption() == wanted)
        return false;
    handle()->setCaption(wanted);
    return true;
}

int TickerView::slideRise()
{
    return twipsToPixels(15);
}

QSize TickerView::layOut()
{
    const int handleHeight = handle()->height();
    handle()->move(0, 0);
    display()->move(0, handleHeight);
    staging()->move(0, handleHeight);
    return {qMax(staging()->width(), display()->width()), display()->height() + handleHeight};
}

QSize TickerView::sizeFor(int index) const
{
    return {m_lbl[index]->width(), m_lbl[index]->height() + handle()->height()};
}

QString TickerView::fittedToScreen(const QString &text, const QPoint &place) const
{
    // The room from the chosen place to the screen's right edge; a ticker placed at the edge
    // still gets room for a few groups a line rather than one word each.
    const QScreen *screen = QGuiApplication::screenAt(place);
    if (!screen)
        screen = display()->screen();
    const QFontMetrics metrics(display()->font());
    const int room = qMax(screen->availableGeometry().right() + 1 - place.x(),
                          metrics.horizontalAdvance(QString(30, QLatin1Char('0'))));
    return WrapLongLines(
        text, [&](QStringView line) { return metrics.horizontalAdvance(line.toString()) <= room; });
}

qreal TickerView::ratio() const
{
    return handle()->devicePixelRatioF();
}

QPoint TickerView::deviceOrigin(int index) const
{
    return DevicePoint(m_lbl[index]->pos(), ratio());
}

QRegion TickerView::textAt(int index) const
{
    return m_lbl[index]->textRegion().translated(deviceOrigin(index));
}

QRegion TickerView::handleSquare() const
{
    return handle()->textBox().translated(deviceOrigin(Handle));
}

QRegion TickerView::drawnRegion() const
{
    QRegion text;
    for (int i : {Display, Staging}) {
        if (!m_lbl[i]->isHidden())
            text += textAt(i);
    }
    return text + handleSquare();
}
