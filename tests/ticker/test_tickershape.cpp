// The ticker window's shapes against its pixels, as the X server holds both, at the scale the
// environment gives (QT_SCALE_FACTOR): glyphs whole, text and handle taking the pointer, the rest
// letting it through, at rest and during a slide, with and without a compositing manager.
#include "../web/WindowManager.h"
#include "ServerShape.h"
#include "desktop/Compositor.h"
#include "desktop/WindowShape.h"
#include "desktop/X11Connection.h"
#include "ticker/SlideStrategy.h"
#include "ticker/TickerLabel.h"
#include "ticker/TickerWindow.h"

#include <QtTest>
#include <cstring>
#include <xcb/shape.h>

namespace {

// Three lines and four: at a fractional scale the new text then lands a varying number of
// device pixels below the old one.
const QString oldText =
    QStringLiteral("RJTT METAR 291230Z 16011KT 9999 FEW010 BKN015 BKN040 27/25 Q1013 NOSIG\r"
                   " RJTT TAF 291105Z 2912/3018 16012KT 9999 FEW015 TEMPO 2915/2921 SHRA");
const QString newText = QStringLiteral("RJAA METAR 291200Z VRB02KT CAVOK 28/23 Q1012 gjpqy_|@#%\r"
                                       " 日の出 05:12 日の入 18:07 ■□ WWWMMM\r");

/// What the X server holds of a window: its pixels and its shapes, in device pixels.
struct ServerWindow
{
    QImage pixels;
    QRegion bounding;
    QRegion input;
    /// Where the pointer is taken: the X server takes input only where the window is drawn.
    QRegion taking() const { return input & bounding; }
};

ServerWindow readServer(const QWidget &widget)
{
    xcb_connection_t *c = X11Connection();
    const auto window = xcb_window_t(widget.winId());
    ServerWindow shown;
    auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (!geometry)
        return shown;
    const int width = geometry->width;
    const int height = geometry->height;
    const bool deep = geometry->depth == 32;
    free(geometry);
    if (!deep)
        return shown;
    auto *image = xcb_get_image_reply(c,
                                      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                                    uint16_t(width), uint16_t(height), ~0u),
                                      nullptr);
    if (!image)
        return shown;
    shown.pixels =
        QImage(xcb_get_image_data(image), width, height, QImage::Format_ARGB32_Premultiplied)
            .copy();
    free(image);
    shown.bounding = ServerShape(window, XCB_SHAPE_SK_BOUNDING);
    shown.input = ServerShape(window, XCB_SHAPE_SK_INPUT);
    return shown;
}

int alphaAt(const QImage &image, int x, int y)
{
    return image.rect().contains(x, y) ? qAlpha(image.pixel(x, y)) : 0;
}

/// The handle's drawn square at rest: the drawn pixels in the handle label's rows.
QRect findHandle(const ServerWindow &shown, const TickerLabel *handle, qreal ratio)
{
    const int rows = int(handle->height() * ratio);
    const int columns = int(handle->width() * ratio);
    QRect square;
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            if (alphaAt(shown.pixels, x, y))
                square |= QRect(x, y, 1, 1);
        }
    }
    return square;
}

/// The three rules counted over every pixel of the window.
struct Figures
{
    int drawn = 0;             ///< text pixels drawn, faint edges included
    int solid = 0;             ///< text pixels drawn opaque
    int solidTaking = 0;       ///< of which the pointer is taken
    int handle = 0;            ///< pixels of the handle's square
    int handleTaking = 0;      ///< of which the pointer is taken
    int clear = 0;             ///< pixels drawn nothing, off the handle's square
    int clearPassing = 0;      ///< of which the pointer passes
    int farClearTaking = 0;    ///< clear pixels more than one pixel from any drawn one, taken
    int backgroundShown = 0;   ///< clear pixels shown by the bounding shape, off the handle
    QPoint firstFault{-1, -1}; ///< a pixel breaking a rule, for the message

    QString text() const
    {
        return QStringLiteral("background shown %1; solid taking %2/%3; handle taking %4/%5; "
                              "clear passing %6/%7; far clear taking %8; first fault at %9,%10")
            .arg(backgroundShown)
            .arg(solidTaking)
            .arg(solid)
            .arg(handleTaking)
            .arg(handle)
            .arg(clearPassing)
            .arg(clear)
            .arg(farClearTaking)
            .arg(firstFault.x())
            .arg(firstFault.y());
    }
};

/// `region` as a mask of the window's pixels, for quick look-ups.
QImage regionMask(const QRegion &region, const QSize &size)
{
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    for (const QRect &r : region &QRect(QPoint(), size)) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            memset(mask.scanLine(y) + r.left(), 1, size_t(r.width()));
    }
    return mask;
}

/// Clear pixels in `mayTake` may take the pointer however far they are from what is drawn.
Figures countRules(const ServerWindow &shown, const QRect &handleSquare, bool composited,
                   const QRegion &mayTake = {})
{
    Figures f;
    const QImage &p = shown.pixels;
    const QImage taking = regionMask(shown.taking(), p.size());
    const QImage bounding = regionMask(shown.bounding, p.size());
    const QImage allowed = regionMask(mayTake, p.size());
    const auto fault = [&](int x, int y) {
        if (f.firstFault.x() < 0)
            f.firstFault = QPoint(x, y);
    };
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            const int alpha = alphaAt(p, x, y);
            const bool takes = taking.constScanLine(y)[x];
            if (handleSquare.contains(x, y)) {
                ++f.handle;
                f.handleTaking += takes;
                if (!takes)
                    fault(x, y);
                continue;
            }
            f.drawn += alpha > 0;
            if (alpha == 255) {
                ++f.solid;
                f.solidTaking += takes;
                if (!takes)
                    fault(x, y);
            } else if (alpha == 0) {
                ++f.clear;
                f.clearPassing += !takes;
                // Under a compositor the background is see-through wherever it is drawn.
                if (!composited && bounding.constScanLine(y)[x]) {
                    ++f.backgroundShown;
                    fault(x, y);
                }
                bool nearDrawn = allowed.constScanLine(y)[x];
                for (int dy = -1; dy <= 1 && !nearDrawn; ++dy) {
                    for (int dx = -1; dx <= 1 && !nearDrawn; ++dx)
                        nearDrawn = alphaAt(p, x + dx, y + dy) > 0;
                }
                if (takes && !nearDrawn) {
                    ++f.farClearTaking;
                    fault(x, y);
                }
            }
        }
    }
    return f;
}

/// The window's size as the X server has it; a window manager may take its time to resize it.
QSize serverSize(const QWidget &widget)
{
    xcb_connection_t *c = X11Connection();
    auto *geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, xcb_window_t(widget.winId())), nullptr);
    const QSize size = geometry ? QSize(geometry->width, geometry->height) : QSize();
    free(geometry);
    return size;
}

/// Once the X server has the window at its size, the toolkit draws what is pending, so that the
/// server holds the window as it stands; `atRest`, the toolkit's whole picture is drawn at once
/// (never during a slide, whose copies the server draws over the toolkit's).
bool settle(QWidget &window, bool atRest = false)
{
    // Qt rounds a fractional size either way, and takes the size the window manager gives.
    const bool sized = QTest::qWaitFor(
        [&] {
            const QSizeF wanted = QSizeF(window.size()) * window.devicePixelRatioF();
            const QSize size = serverSize(window);
            return qAbs(size.width() - wanted.width()) < 1 &&
                   qAbs(size.height() - wanted.height()) < 1;
        },
        5000);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    // On a loaded machine the toolkit's paint may still wait for its turn: read the pixels as
    // the window draws them, not a moment before.
    if (atRest)
        window.repaint();
    serverSize(window); // a round trip: the server has done all that was sent
    return sized;
}

} // namespace

class TestTickerShape : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void withoutACompositor_data();
    void withoutACompositor() { check(false); }
    void underACompositor_data() { withoutACompositor_data(); }
    void underACompositor();

private:
    void check(bool composited);

    DisplayProgram m_manager{QStringLiteral("openbox")};
    DisplayProgram m_compositor{QStringLiteral("xcompmgr")};
};

void TestTickerShape::initTestCase()
{
    if (!X11Connection())
        QSKIP("this test needs an X display (QT_QPA_PLATFORM=xcb)");
    // A window manager frames the ticker as on a desktop; without one the shapes are the same.
    StartWindowManager(m_manager);
    qInfo("device pixel ratio %g", QWidget().devicePixelRatioF());
}

void TestTickerShape::withoutACompositor_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("pointerOnHandle");
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("outlined");
    QTest::newRow("at rest") << 10 << false << false << 0 << false;
    QTest::newRow("handle filled") << 10 << false << true << 0 << false;
    QTest::newRow("bold 14 at rest") << 14 << true << false << 0 << false;
    // Lines of 19 and 13 pixels: the texts' heights are fractional at 1.25 and 1.5.
    QTest::newRow("first step") << 12 << false << false << 1 << false;
    QTest::newRow("text under the handle") << 12 << false << false << 8 << false;
    QTest::newRow("step 9") << 12 << false << false << 9 << false;
    QTest::newRow("step 10") << 12 << false << false << 10 << false;
    QTest::newRow("step 11") << 12 << false << false << 11 << false;
    QTest::newRow("old text half gone") << 12 << false << false << 30 << false;
    QTest::newRow("8 pt sliding") << 8 << false << false << 15 << false;
    QTest::newRow("bold 14 sliding") << 14 << true << false << 17 << false;
    QTest::newRow("outlined at rest") << 12 << false << false << 0 << true;
    QTest::newRow("outlined, handle filled") << 12 << false << true << 0 << true;
    QTest::newRow("outlined sliding") << 12 << false << false << 9 << true;
}

void TestTickerShape::underACompositor()
{
    if (!m_compositor.installed())
        QSKIP("xcompmgr is not installed: the shapes under a compositor are not checked");
    CompositorWatch watch;
    QVERIFY(m_compositor.start([&] { return watch.running(); }, 10000));
    check(true);
}

void TestTickerShape::check(bool composited)
{
    QFETCH(int, pointSize);
    QFETCH(bool, bold);
    QFETCH(bool, pointerOnHandle);
    QFETCH(int, steps);
    QFETCH(bool, outlined);

    TickerWindow ticker;
    ticker.setTextColor(QColor(255, 255, 0));
    ticker.setTextFont(pointSize, bold);
    ticker.setOutlined(outlined);
    const QPoint place(20, 20);
    ticker.showAt(place, place);
    QVERIFY(QTest::qWaitForWindowExposed(&ticker));
    ticker.showReport(oldText, TickerCycle::Entry::Replace, FlightCategory::Unknown);
    QCOMPARE(ticker.composited(), composited);
    QVERIFY(settle(ticker, true));
    const qreal ratio = ticker.devicePixelRatioF();
    ServerWindow shown = readServer(ticker);
    QVERIFY2(!shown.pixels.isNull(), "the X server gives the window no 32-bit pixels");
    const QRect handleSquare = findHandle(shown, ticker.lbl(TickerView::Handle), ratio);
    QVERIFY(!handleSquare.isEmpty());

    if (pointerOnHandle) {
        ticker.setPointerOnHandle(true);
        ticker.ShowHandleState();
    }
    if (steps) {
        ticker.showReport(newText, TickerCycle::Entry::SlideIn, FlightCategory::VFR);
        ticker.holdSlide(); // the test takes the steps
        for (int i = 0; i < steps; ++i) {
            ticker.SlideStep();
            QVERIFY(settle(ticker));
        }
        // Still under way: the old text is the one at rest.
        QVERIFY(ticker.lbl(TickerView::Display)->caption().startsWith(QLatin1String("RJTT")));
    } else {
        QVERIFY(settle(ticker, true));
    }
    shown = readServer(ticker);
    // Under a compositor one input shape covers the texts for a few steps, each text where it
    // stood and where it will stand, in the window or still outside it.
    QRegion coveredAhead;
    if (composited && steps) {
        const int rows = qCeil((LabelSlide::stepsPerInputShape - 1) * ratio) + 1;
        for (int index : {TickerView::Display, TickerView::Staging}) {
            const TickerLabel *label = ticker.lbl(index);
            const QRegion text = label->textRegion().translated(DevicePoint(label->pos(), ratio));
            for (int dy = -rows; dy <= rows; ++dy)
                coveredAhead += text.translated(0, dy);
        }
    }
    const Figures f = countRules(shown, handleSquare, composited, coveredAhead);
    qInfo("%s, ratio %g: %s", composited ? "composited" : "plain", ratio, qPrintable(f.text()));
    QVERIFY2(f.drawn > 1000, qPrintable(f.text())); // the text is really drawn
    // No background shown in a glyph, every glyph pixel and the handle's square taking the
    // pointer, and no pointer taken far from the text.
    QVERIFY2(f.backgroundShown == 0, qPrintable(f.text()));
    QVERIFY2(f.solidTaking == f.solid, qPrintable(f.text()));
    QVERIFY2(f.handleTaking == f.handle, qPrintable(f.text()));
    QVERIFY2(f.farClearTaking == 0, qPrintable(f.text()));
}

QTEST_MAIN(TestTickerShape)
#include "test_tickershape.moc"
