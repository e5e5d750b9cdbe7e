// The ticker window: load and close, the texts and their slide, the shape and the handle.
#include "ticker/TickerWindow.h"

#include "platform/Compositor.h"
#include "platform/DesktopNotice.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/ServerSlide.h"
#include "platform/SingleInstance.h"
#include "platform/Twips.h"
#include "platform/WindowShape.h"
#include "store/SettingsStore.h"
#include "ticker/LineWrap.h"
#include "ticker/ReportBuilder.h"
#include "ticker/StoredColor.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerMenu.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

const QChar CR(u'\r');

} // namespace

TickerWindow::TickerWindow(const QString &databaseDirectory, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_databaseDirectory(databaseDirectory), m_compositor(std::make_unique<CompositorWatch>()),
      m_slideShape(std::make_unique<MovingShape>(this)),
      m_serverSlide(std::make_unique<ServerSlide>(this))
{
    // The ticker takes no keys: with the focus, the window manager's close key would end the
    // program, for instance right after the settings window closed and handed the focus back.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Tarnbeck"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);

    for (int i : {Staging, Display, Handle}) {
        m_lbl[i] = new TickerLabel(this);
        m_lbl[i]->setObjectName(QStringLiteral("lbl%1").arg(i));
        m_lbl[i]->hide();
        m_lbl[i]->installEventFilter(this);
    }
    m_lbl[Handle]->setCaption(QString::fromUtf8(handleHollow));
    m_lbl[Handle]->setToolTip(
        QStringLiteral(" 左ドラッグ ： 画面移動　右クリック ： メニュー表示 "));
    m_lbl[Handle]->setCursor(Qt::SizeAllCursor);

    connect(&m_slideTimer, &QTimer::timeout, this, &TickerWindow::SlideStep);
    m_handleTimer.setSingleShot(true);
    m_handleTimer.setInterval(0);
    connect(&m_handleTimer, &QTimer::timeout, this, &TickerWindow::ShowHandleState);
}

TickerWindow::~TickerWindow()
{
    if (m_loaded && !m_closed)
        Form_QueryUnload();
}

QPoint TickerWindow::defaultPosition()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    return area.topLeft() + QPoint(area.width() / 2, area.height() / 2);
}

QPoint TickerWindow::startPosition(float posX, float posY)
{
    const QPoint centre = defaultPosition();
    const QPoint stored(posX == 0.0f ? centre.x() : twipsToPixels(posX),
                        posY == 0.0f ? centre.y() : twipsToPixels(posY));
    // A place on no present screen (a monitor removed) would leave the ticker, and its menu,
    // out of reach. Any overlap with a screen keeps the stored place.
    const QRect window(stored, QSize(40, 20));
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(window))
            return stored;
    }
    return centre;
}

bool TickerWindow::Form_Load()
{
    m_instance = std::make_unique<SingleInstance>(m_databaseDirectory);
    if (m_instance->heldByAnother()) {
        m_startMessage = ShowMessage(this, QMessageBox::Information, QStringLiteral(" 確認"),
                                     QStringLiteral("Tarnbeck はすでに起動しています  "));
        return false;
    }
    if (!m_instance->isFirst()) {
        m_startMessage =
            ShowMessage(this, QMessageBox::Critical, QStringLiteral(" Tarnbeck"),
                        m_instance->errorString() +
                            QStringLiteral("\nTarnbeck の設定はこのフォルダーに置かれます。"));
        return false;
    }

    m_store = std::make_unique<SettingsStore>(m_databaseDirectory);
    if (!m_store->OpenSettings()) {
        m_startMessage = ShowMessage(this, QMessageBox::Critical, QStringLiteral(" Tarnbeck"),
                                     m_store->errorString());
        m_store.reset();
        return false;
    }
    m_loaded = true;
    m_homePageUrl = m_store->host(QStringLiteral("home"));
    m_builder = std::make_unique<ReportBuilder>(*m_store);
    m_cycle = std::make_unique<TickerCycle>(*m_store, *m_builder, m_clock);
    m_cycle->setHomePage(m_homePageUrl);
    m_menu = std::make_unique<TickerMenu>(*this, *m_cycle, *m_store);
    connect(m_cycle.get(), &TickerCycle::showReport, this, &TickerWindow::showReport);
    m_notice = std::make_unique<DesktopNotice>();
    connect(m_builder.get(), &ReportBuilder::worsened, m_notice.get(), &DesktopNotice::send);
    connect(m_cycle.get(), &TickerCycle::showMessage, this, &TickerWindow::showMessage);
    connect(m_cycle.get(), &TickerCycle::networkChanged, m_menu.get(), &TickerMenu::setOnline);
    connect(m_cycle.get(), &TickerCycle::paused, this, [this] {
        // A text half slid in would stay half shown, and be replaced before it was read.
        if (m_slideTimer.isActive())
            finishSlide();
    });

    // Scrolling needs a checked target; sliding and scrolling need a target at all.
    const bool noTargets = m_store->targetAirports().isEmpty();
    const bool anyChecked = m_cycle->anyChecked();
    if (!m_store->changeSettings([&](Settings &s) {
            ++s.startup; // held at its bound
            if (noTargets)
                s.autochange = false;
            if (!anyChecked)
                s.scroll = false;
        }))
        qWarning("%s", qPrintable(m_store->errorString()));

    m_composited = m_compositor->running();
    applyTextSettings();
    const Settings settings = m_store->settings();
    m_slideTimer.setInterval(settings.scrollrate);

    resizeWindow(m_lbl[Handle]->width(), m_lbl[Handle]->height());
    placeAt(startPosition(settings.posX, settings.posY));
    show();

    m_cycle->start();
    return true;
}

void TickerWindow::applyTextSettings()
{
    const Settings settings = m_store->settings();
    setTextColor(ColorFromStored(settings.forecolor));
    setTextFont(settings.fontsize, settings.update);
}

void TickerWindow::setTextColor(const QColor &color)
{
    m_textColor = color;
    for (int i : {Display, Staging}) {
        QPalette palette = m_lbl[i]->palette();
        palette.setColor(QPalette::WindowText, color);
        m_lbl[i]->setPalette(palette);
    }
    showCategory(m_category);
    updateShape();
}

QColor TickerWindow::handleColor(FlightCategory category) const
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

void TickerWindow::showCategory(FlightCategory category)
{
    m_category = category;
    QPalette palette = m_lbl[Handle]->palette();
    palette.setColor(QPalette::WindowText, handleColor(category));
    m_lbl[Handle]->setPalette(palette);
}

void TickerWindow::setTextFont(double pointSize, bool bold)
{
    QFont font = shapedGothicFont(12, bold);
    font.setPointSizeF(pointSize);
    // A bounding shape follows the glyphs pixel by pixel: smoothed edges would show dark.
    if (m_composited)
        font.setStyleStrategy(QFont::PreferAntialias);
    for (int i : {Handle, Display, Staging})
        m_lbl[i]->setFont(font);
    Relayout();
}

void TickerWindow::Relayout()
{
    const int handleHeight = m_lbl[Handle]->height();
    m_lbl[Handle]->move(0, 0);
    m_lbl[Display]->move(0, handleHeight);
    m_lbl[Staging]->move(0, handleHeight);
    const int width = qMax(m_lbl[Staging]->width(), m_lbl[Display]->width());
    resizeWindow(width, m_lbl[Display]->height() + handleHeight);
}

void TickerWindow::closeEvent(QCloseEvent *event)
{
    if (m_loaded && !m_closed)
        Form_QueryUnload();
    event->accept();
}

void TickerWindow::Form_QueryUnload()
{
    m_closed = true;
    m_slideTimer.stop();
    m_cycle->stop();
    m_menu->shutDown(); // a settings window still open is closed without saving

    bool compactDue = false;
    if (!m_store->SaveExitState(float(pixelsToTwips(m_place.x())),
                                float(pixelsToTwips(m_place.y())), &compactDue))
        qWarning("%s", qPrintable(m_store->errorString()));
    m_store->CloseSettings();
    if (compactDue && !m_store->CompactSettings())
        qWarning("%s", qPrintable(m_store->errorString()));
    emit exited();
}

QString TickerWindow::fittedToScreen(const QString &text) const
{
    // The room from the chosen place to the screen's right edge; a ticker placed at the edge
    // still gets room for a few groups a line rather than one word each.
    const QScreen *screen = QGuiApplication::screenAt(m_place);
    if (!screen)
        screen = this->screen();
    const QFontMetrics metrics(m_lbl[Display]->font());
    const int room = qMax(screen->availableGeometry().right() + 1 - m_place.x(),
                          metrics.horizontalAdvance(QString(30, QLatin1Char('0'))));
    return WrapLongLines(
        text, [&](QStringView line) { return metrics.horizontalAdvance(line.toString()) <= room; });
}

void TickerWindow::followCompositor()
{
    if (m_composited == m_compositor->running())
        return;
    m_composited = m_compositor->running();
    m_slideShape->clear();
    const Settings settings = m_store->settings();
    setTextFont(settings.fontsize, settings.update);
}

void TickerWindow::showReport(const QString &builtText, TickerCycle::Entry entry,
                              FlightCategory category)
{
    followCompositor();
    showCategory(category);
    const QString text = fittedToScreen(builtText) + CR; // the text ends with an empty line
    TickerLabel *staging = m_lbl[Staging];
    TickerLabel *display = m_lbl[Display];
    m_slideShape->clear(); // the texts change: a slide under way reshapes from here
    stopServerSlide();
    if (entry == TickerCycle::Entry::SlideIn) {
        staging->setCaption(text);
        // A wider new text widens the window now; a narrower one waits for the slide's end.
        if (display->width() < staging->width())
            resizeWindow(staging->width(), staging->height() + m_lbl[Handle]->height());
        m_slideTimer.start();
    } else {
        staging->hide();
        staging->setCaption(text);
        display->setCaption(text);
        fitWindowTo(Display);
    }
    display->show();
    m_lbl[Handle]->show();
    updateShape();
    savePositionIfMoved();
}

void TickerWindow::showMessage(const QString &message)
{
    followCompositor();
    stopServerSlide();
    showCategory(FlightCategory::Unknown);
    m_lbl[Display]->setCaption(message);
    m_lbl[Display]->show();
    m_lbl[Handle]->show();
    fitWindowTo(Display);
}

void TickerWindow::placeAt(const QPoint &place)
{
    m_place = place;
    move(place);
}

void TickerWindow::moveEvent(QMoveEvent *event)
{
    // Only the user's drag chooses a place; a window manager that pushes a grown window back
    // onto the screen does not. The manager's last move of a drag may come after the button
    // is up: it is still the user's, and the drag ends with it.
    if (m_dragState == DragState::System) {
        m_place = pos();
        if (!PrimaryButtonHeld())
            m_dragState = DragState::None;
    }
    QWidget::moveEvent(event);
}

void TickerWindow::savePositionIfMoved()
{
    const float left = float(pixelsToTwips(m_place.x()));
    const float top = float(pixelsToTwips(m_place.y()));
    // Only a changed place is written: the store writes only what differs.
    if (!m_store->changeSettings([&](Settings &s) {
            s.posX = left;
            s.posY = top;
        }))
        qWarning("%s", qPrintable(m_store->errorString()));
}

void TickerWindow::SlideStep()
{
    TickerLabel *staging = m_lbl[Staging];
    TickerLabel *display = m_lbl[Display];
    const int handleHeight = m_lbl[Handle]->height();
    // Under a compositor the server moves the texts, and the toolkit keeps them hidden.
    const bool onServer = m_composited && (m_serverSlide->isStarted() || startServerSlide());
    if (!onServer)
        staging->show();
    display->move(0, display->y() - twipsToPixels(15));
    staging->move(0, display->y() + display->height());
    if (staging->y() > handleHeight) {
        if (onServer) {
            showServerStep();
            return;
        }
        // A compositor blends the moved labels as they are; a bounding shape must move with
        // them. The two texts move together: their joint shape is made once a slide.
        if (m_composited)
            return;
        if (!m_slideShape->isSet())
            m_slideShape->set(handleSquare(), slideText());
        m_slideShape->moveTo(display->pos());
        m_visibleShape = QRegion(); // the server's shape is the slide's now
        return;
    }
    finishSlide();
    m_cycle->slideFinished();
}

bool TickerWindow::startServerSlide()
{
    TickerLabel *staging = m_lbl[Staging];
    TickerLabel *display = m_lbl[Display];
    const qreal ratio = devicePixelRatioF();
    m_slideContent = QImage(QSize(width(), display->height() + staging->height()) * ratio,
                            QImage::Format_ARGB32_Premultiplied);
    m_slideContent.setDevicePixelRatio(ratio);
    m_slideContent.fill(Qt::transparent);
    QPainter painter(&m_slideContent);
    painter.drawImage(0, 0, display->image());
    painter.drawImage(0, display->height(), staging->image());
    painter.end();
    m_slideRegion = slideText();
    m_handlePatched = false;
    if (!m_serverSlide->start(m_slideContent, m_lbl[Handle]->geometry())) {
        m_slideContent = QImage();
        return false;
    }
    // The toolkit draws their place empty and the server draws the texts over it at once.
    const QRect area = (display->geometry() | staging->geometry()) & rect();
    display->hide();
    staging->hide();
    repaint(area);
    showServerStep();
    return true;
}

void TickerWindow::showServerStep()
{
    const TickerLabel *display = m_lbl[Display];
    const TickerLabel *handle = m_lbl[Handle];
    m_serverSlide->showAt(display->pos());
    // The copies leave the handle alone; while text passes under it, the two are drawn together
    // there, and once more when the text has gone.
    const bool underHandle =
        m_slideRegion.intersects(handle->geometry().translated(-display->pos()));
    if (!underHandle && !m_handlePatched)
        return;
    m_handlePatched = underHandle;
    const qreal ratio = devicePixelRatioF();
    QImage patch(handle->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    patch.setDevicePixelRatio(ratio);
    patch.fill(Qt::transparent);
    QPainter painter(&patch);
    painter.drawImage(display->pos() - handle->pos(), m_slideContent);
    painter.drawImage(0, 0, handle->image());
    painter.end();
    m_serverSlide->patch(patch, handle->pos());
}

void TickerWindow::stopServerSlide()
{
    if (!m_serverSlide->isStarted())
        return;
    m_serverSlide->stop();
    m_slideContent = QImage();
    m_lbl[Display]->show();
    update(); // the toolkit's picture replaces whatever the server last copied
}

void TickerWindow::finishSlide()
{
    TickerLabel *staging = m_lbl[Staging];
    TickerLabel *display = m_lbl[Display];
    const int handleHeight = m_lbl[Handle]->height();
    m_slideTimer.stop();
    m_slideShape->clear();
    display->move(0, m_lbl[Handle]->y() + handleHeight);
    display->setCaption(staging->caption());
    staging->hide();
    stopServerSlide();
    resizeWindow(display->width(), staging->height() + handleHeight);
}

void TickerWindow::ShowHandleState()
{
    const QString wanted = QString::fromUtf8(m_pointerOnHandle ? handleFilled : handleHollow);
    if (m_lbl[Handle]->caption() != wanted) {
        m_lbl[Handle]->setCaption(wanted);
        updateShape();
    }
}

void TickerWindow::setPointerOnHandle(bool onHandle)
{
    if (m_pointerOnHandle == onHandle)
        return;
    m_pointerOnHandle = onHandle;
    m_handleTimer.start();
}

void TickerWindow::fitWindowTo(int index)
{
    resizeWindow(m_lbl[index]->width(), m_lbl[index]->height() + m_lbl[Handle]->height());
}

void TickerWindow::resizeWindow(int width, int height)
{
    // A drag handed to the window manager ends with a release we never see; once the button
    // is up, later moves (the manager keeping a grown window on screen) are not the user's.
    if (m_dragState == DragState::System && !PrimaryButtonHeld())
        m_dragState = DragState::None;
    // Never narrower than the handle: it is the only way to the menu.
    resize(qMax(width, m_lbl[Handle]->width()), qMax(height, m_lbl[Handle]->height()));
    updateShape();
}

QRegion TickerWindow::slideText() const
{
    const TickerLabel *display = m_lbl[Display];
    return display->textRegion() + m_lbl[Staging]->textRegion().translated(0, display->height());
}

QRegion TickerWindow::handleSquare() const
{
    return m_lbl[Handle]->textRegion().boundingRect().translated(m_lbl[Handle]->pos());
}

void TickerWindow::updateShape()
{
    // The pointer is taken only on the text and anywhere in the handle's square; everywhere
    // else it reaches the desktop. Without a compositor only the drawn pixels and the square are
    // shown: the X server takes input only where the window is shown, and a square whose inside
    // let the pointer through could not be grabbed there.
    QRegion text;
    for (int i : {Display, Staging}) {
        if (!m_lbl[i]->isHidden())
            text += m_lbl[i]->textRegion().translated(m_lbl[i]->pos());
    }
    const QRegion input = (text + handleSquare()).intersected(rect());
    const QRegion visible = m_composited ? QRegion() : input;
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
    if (!m_shapesSent)
        updateShape();
}

bool TickerWindow::eventFilter(QObject *watched, QEvent *event)
{
    const int index = watched == m_lbl[Handle]    ? Handle
                      : watched == m_lbl[Display] ? Display
                      : watched == m_lbl[Staging] ? Staging
                                                  : -1;
    if (index >= 0 && handleMouse(index, event))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool TickerWindow::handleMouse(int index, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        setPointerOnHandle(index == Handle);
        return false;
    case QEvent::Leave:
        // Off the square, wherever the pointer went: the hollow square again.
        if (index == Handle)
            setPointerOnHandle(false);
        return false;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        setPointerOnHandle(index == Handle);
        if (!(mouse->buttons() & Qt::LeftButton)) {
            if (m_dragState == DragState::Following)
                m_dragState = DragState::None;
            m_pressed = false;
        } else if (m_dragState == DragState::Following) {
            placeAt(mouse->globalPosition().toPoint() - m_dragOffset);
        } else if (m_dragState == DragState::None && m_pressed &&
                   mouse->buttons() == Qt::LeftButton) {
            // No window manager took the drag: follow the pointer here, from the point
            // pressed, until the button is released.
            m_pressed = false;
            m_dragState = DragState::Following;
            placeAt(mouse->globalPosition().toPoint() - m_dragOffset);
        }
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (index == Handle && mouse->button() == Qt::LeftButton) {
            // Asked at the press, the window manager anchors its move at the point pressed,
            // which then stays under the pointer; asked at the first movement, it would lose
            // that movement. The window still moves only when the pointer does.
            m_dragOffset = mouse->globalPosition().toPoint() - pos();
            m_pressed = !StartSystemMove(this);
            m_dragState = m_pressed ? DragState::None : DragState::System;
        }
        if (index == Handle && mouse->button() == Qt::RightButton)
            showPopupMenu(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease:
        // A drag of the window manager's ends with its last move (see moveEvent).
        if (m_dragState == DragState::Following)
            m_dragState = DragState::None;
        m_pressed = false;
        return true;
    default:
        return false;
    }
}

void TickerWindow::showPopupMenu(const QPoint &globalPos)
{
    m_menu->popup(globalPos);
}
