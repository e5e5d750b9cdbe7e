// Each way of sliding, on a real X server: what the server shows after a step.
#include "ServerShape.h"
#include "desktop/WindowShape.h"
#include "desktop/X11Connection.h"
#include "ticker/SlideStrategy.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerView.h"

#include <QPainter>
#include <QtTest>
#include <memory>
#include <xcb/shape.h>

namespace {

/// The window's bounding or input shape as the X server holds it.
QRegion serverShape(const QWidget &window, xcb_shape_kind_t kind = XCB_SHAPE_SK_BOUNDING)
{
    return ServerShape(xcb_window_t(window.winId()), kind);
}

/// The window's device pixels as the X server holds them (32-bit windows only).
QImage serverPixels(const QWidget &window, const QSize &size)
{
    xcb_connection_t *connection = X11Connection();
    auto *reply = xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, xcb_window_t(window.winId()), 0, 0,
                      uint16_t(size.width()), uint16_t(size.height()), ~0u),
        nullptr);
    if (!reply)
        return {};
    QImage image(xcb_get_image_data(reply), size.width(), size.height(),
                 QImage::Format_ARGB32_Premultiplied);
    image = reply->depth == 32 ? image.copy() : QImage();
    free(reply);
    return image;
}

} // namespace

class TestSlideStrategy : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shapeMovesWithTheTexts_data();
    void shapeMovesWithTheTexts();
    void serverShowsTheTextsAtTheStep_data() { shapeMovesWithTheTexts_data(); }
    void serverShowsTheTextsAtTheStep();
    void labelsTakeThePointerAsTheyRise_data() { shapeMovesWithTheTexts_data(); }
    void labelsTakeThePointerAsTheyRise();

private:
    /// Both labels `rise` pixels up from rest, as a slide step leaves them.
    void moveLabels(int rise);
    /// Takes `rise` steps of `slide`, then checks that the input shape holds the handle and
    /// every glyph, reaches no further than a few steps' rise, and moved once every few steps.
    void checkInputShapeFollows(SlideStrategy &slide, int rise);
    /// Below the handle: `labels` drawn where they stand, or with none, what the server shows.
    QImage serverTexts(const QList<int> &labels) const;

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<TickerView> m_view;
};

void TestSlideStrategy::init()
{
    m_window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_window->setAttribute(Qt::WA_TranslucentBackground);
    m_view = std::make_unique<TickerView>(m_window.get());
    m_view->setTextFont(12, false, false);
    m_view->setTextColor(Qt::yellow);
    m_view->display()->setCaption(QStringLiteral("RJTT METAR 1230Z\r 151230Z 34008KT 9999\r"));
    m_view->staging()->setCaption(QStringLiteral("RJAA METAR 1200Z\r 151200Z VRB02KT CAVOK\r"));
    m_view->display()->show();
    m_view->handle()->show();
    m_window->resize(m_view->layOut());
    m_window->move(40, 40);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestSlideStrategy::cleanup()
{
    m_view.reset();
    m_window.reset();
}

void TestSlideStrategy::moveLabels(int rise)
{
    TickerLabel *display = m_view->display();
    display->move(0, m_view->handle()->height() - rise);
    m_view->staging()->move(0, display->y() + display->height());
}

void TestSlideStrategy::shapeMovesWithTheTexts_data()
{
    QTest::addColumn<int>("rise");
    QTest::newRow("first step") << 1;
    QTest::newRow("text under the handle") << 20;
    QTest::newRow("old text half gone") << 30;
}

void TestSlideStrategy::shapeMovesWithTheTexts()
{
    QFETCH(int, rise);
    ShapeSlide slide(*m_view, m_window.get());
    QVERIFY(!slide.forCompositor());
    QVERIFY(slide.begin());
    QVERIFY(m_view->staging()->isVisible());
    moveLabels(rise);
    slide.step();
    // The handle stays; both texts' glyphs moved, nothing else drawn, and the pointer is taken
    // where they are drawn now.
    const QRegion expected = m_view->handleSquare() + m_view->textAt(TickerView::Display) +
                             m_view->textAt(TickerView::Staging);
    const QRect window = DeviceRect(m_window->rect(), m_view->ratio());
    const QRegion bounding = serverShape(*m_window);
    QCOMPARE(bounding & window, expected & window);
    QCOMPARE(serverShape(*m_window, XCB_SHAPE_SK_INPUT) & bounding & window, expected & window);
    slide.end();
}

void TestSlideStrategy::serverShowsTheTextsAtTheStep()
{
    QFETCH(int, rise);
    ServerCopySlide slide(*m_view, m_window.get());
    QVERIFY(slide.forCompositor());
    QVERIFY(slide.boundingShape(QRegion(0, 0, 5, 5)).isEmpty());
    const QImage atRest = serverTexts({TickerView::Display});
    if (!slide.begin())
        QSKIP("this X server gives the window no 32-bit pixels: the toolkit slides it");
    QVERIFY(!m_view->display()->isVisible()); // the server draws the texts now
    // Nothing moved yet: the new text waits below the old one, out of sight.
    QCOMPARE(serverTexts({}), atRest);
    checkInputShapeFollows(slide, rise);
    // Below the handle, the server shows exactly both texts where the labels would draw them.
    const QImage expected = serverTexts({TickerView::Display, TickerView::Staging});
    QCOMPARE(serverTexts({}), expected);
    slide.end();
    QVERIFY(m_view->display()->isVisible());
}

void TestSlideStrategy::labelsTakeThePointerAsTheyRise()
{
    QFETCH(int, rise);
    LabelSlide slide(*m_view, m_window.get());
    QVERIFY(slide.forCompositor());
    QVERIFY(slide.boundingShape(QRegion(0, 0, 5, 5)).isEmpty());
    QVERIFY(slide.begin());
    // The toolkit draws both texts itself.
    QVERIFY(m_view->staging()->isVisible());
    QVERIFY(m_view->display()->isVisible());
    checkInputShapeFollows(slide, rise);
    slide.end();
}

void TestSlideStrategy::checkInputShapeFollows(SlideStrategy &slide, int rise)
{
    int inputChanges = 0;
    QRegion input = serverShape(*m_window, XCB_SHAPE_SK_INPUT);
    for (int step = 1; step <= rise; ++step) {
        moveLabels(step);
        slide.step();
        const QRegion now = serverShape(*m_window, XCB_SHAPE_SK_INPUT);
        inputChanges += now != input;
        input = now;
    }
    // The pointer is taken on every glyph and the handle, and at most where the glyphs were or
    // will be a few steps away; the input shape moves once every few steps.
    const QRect window = DeviceRect(m_window->rect(), m_view->ratio());
    QRegion texts, coming;
    for (int index : {TickerView::Display, TickerView::Staging}) {
        texts += m_view->textAt(index);
        const TickerLabel *label = m_view->lbl(index);
        for (int ahead = 1 - LabelSlide::stepsPerInputShape; ahead < LabelSlide::stepsPerInputShape;
             ++ahead)
            coming += label->textRegion().translated(
                DevicePoint(label->pos() - QPoint(0, ahead), m_view->ratio()));
    }
    QCOMPARE(((m_view->handleSquare() + texts) & window) - input, QRegion());
    QCOMPARE((input & window) - m_view->handleSquare() - coming, QRegion());
    QVERIFY2(inputChanges <=
                 (rise + LabelSlide::stepsPerInputShape - 1) / LabelSlide::stepsPerInputShape,
             qPrintable(QString::number(inputChanges)));
}

QImage TestSlideStrategy::serverTexts(const QList<int> &labels) const
{
    const qreal ratio = m_view->ratio();
    const QRect window = DeviceRect(m_window->rect(), ratio);
    const int handleRows = DeviceRect(m_view->handle()->geometry(), ratio).bottom() + 1;
    const QRect belowHandle(0, handleRows, window.width(), window.height() - handleRows);
    if (labels.isEmpty())
        return serverPixels(*m_window, window.size()).copy(belowHandle);
    QImage drawn(window.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    for (int i : labels) {
        const QImage &image = m_view->lbl(i)->image();
        painter.drawImage(QRect(m_view->deviceOrigin(i), image.size()), image, image.rect());
    }
    painter.end();
    return drawn.copy(belowHandle);
}

QTEST_MAIN(TestSlideStrategy)
#include "test_slidestrategy.moc"
