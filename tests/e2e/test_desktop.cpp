// The ticker on the desktop this test runs in (an X window manager on Xvfb, or a Wayland
// compositor's XWayland): its place, no frame or shadow, where it takes the pointer, its menu,
// a drag, and a while of sliding. tests/desktops/ starts each desktop and runs it there.
#include "e2e/TickerApp.h"
#include "e2e/X11Driver.h"

#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QHash>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <unistd.h>

using namespace X11Driver;

namespace {

constexpr int deadline = 30000;
const QPoint place(200, 150); // logical pixels; the desktop's pixels are these times the scale

/// KWin's own picture of its screen, at its logical size (the X server's): its ScreenShot2
/// interface writes the raw pixels into a pipe. The compositor must run with
/// KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1, since the test is not one of the programs it trusts.
QImage kwinPicture()
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    QDBusInterface kwin(QStringLiteral("org.kde.KWin"), QStringLiteral("/org/kde/KWin/ScreenShot2"),
                        QStringLiteral("org.kde.KWin.ScreenShot2"));
    const QDBusReply<QVariantMap> reply =
        kwin.call(QStringLiteral("CaptureActiveScreen"), QVariantMap{},
                  QVariant::fromValue(QDBusUnixFileDescriptor(pipeEnds[1])));
    close(pipeEnds[1]); // the call holds its own copy; KWin's ends the stream
    QByteArray data;
    char chunk[65536];
    for (ssize_t n; (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
        data.append(chunk, n);
    close(pipeEnds[0]);
    if (!reply.isValid()) {
        qWarning("KWin took no screenshot: %s", qPrintable(reply.error().message()));
        return {};
    }
    const QVariantMap shape = reply.value();
    const int width = shape.value(QStringLiteral("width")).toInt();
    const int height = shape.value(QStringLiteral("height")).toInt();
    const int stride = shape.value(QStringLiteral("stride")).toInt();
    const auto format = QImage::Format(shape.value(QStringLiteral("format")).toInt());
    if (width <= 0 || data.size() < qsizetype(stride) * height)
        return {};
    QImage picture(width, height, format);
    for (int y = 0; y < height; ++y)
        memcpy(picture.scanLine(y), data.constData() + qsizetype(y) * stride,
               size_t(qMin<qsizetype>(stride, picture.bytesPerLine())));
    return picture;
}

/// The whole screen as the desktop shows it, at the X server's size: grim under sway, KWin's
/// own under kwin_wayland, the X root otherwise.
QImage desktopPicture(const QString &path)
{
    const QString shooter = qEnvironmentVariable("TARNBECK_SCREENSHOOTER");
    if (shooter == QLatin1String("kwin")) {
        QImage picture = kwinPicture().convertToFormat(QImage::Format_RGB32);
        picture.save(path);
        return picture;
    }
    if (shooter == QLatin1String("grim")) {
        run(QStringLiteral("grim"), {QStringLiteral("-s"), QStringLiteral("1"), path});
    } else {
        return screenshot(path).convertToFormat(QImage::Format_RGB32);
    }
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

bool isText(QRgb c)
{
    return qRed(c) > 180 && qGreen(c) > 180 && qBlue(c) < 120; // the yellow of the text
}

/// Changed pixels of `after` against `before` within `area` that the text cannot have made: the
/// yellow text, antialiased or not, only moves a pixel towards yellow (red and green up, blue
/// down); a frame, a shadow or a background drawn by the window moves it elsewhere.
/// Pixels of `area` that changed other than towards the text's colour; inside `blackAllowed`
/// black counts as no change.
int strayPixels(const QImage &before, const QImage &after, const QRect &area,
                const QRect &blackAllowed = {})
{
    int stray = 0;
    const QRect clipped = area & after.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QRgb was = before.pixel(x, y);
            const QRgb is = after.pixel(x, y);
            // A compositor's blending may round a clear pixel by a level or two.
            const bool same = std::abs(qRed(is) - qRed(was)) <= 3 &&
                              std::abs(qGreen(is) - qGreen(was)) <= 3 &&
                              std::abs(qBlue(is) - qBlue(was)) <= 3;
            const bool towardsText =
                qRed(is) >= qRed(was) && qGreen(is) >= qGreen(was) && qBlue(is) <= qBlue(was);
            const bool allowed = blackAllowed.contains(x, y) && (is & 0xffffff) == 0;
            stray += !same && !towardsText && !allowed ? 1 : 0;
        }
    }
    return stray;
}

int textPixels(const QImage &picture, const QRect &area)
{
    int text = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            text += picture.valid(x, y) && isText(picture.pixel(x, y)) ? 1 : 0;
    return text;
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void standsAtItsPlaceWithoutFrameOrShadow();
    void takesThePointerOnlyOnTextAndHandle();
    void menuOpensAndADragIsSaved();
    void slidesWithoutError();
    void asksForNoAttention();
    void itsWindowsAreNotCovered();

private:
    /// The ticker's window once it holds still, showing a report, where `accept` takes it.
    QRect waitForTicker(const std::function<bool(const QRect &)> &accept = {});
    /// The id of the ticker's window standing at `rect`.
    static QString tickerId(const QRect &rect);
    QPoint expectedPlace() const { return place * m_scale; }
    /// Rootless XWayland gives no picture of its root window, mutter without GNOME Shell none of
    /// its screen, and weston's shows no XWayland window: there the run says what it skips.
    static bool picturesTaken()
    {
        return qEnvironmentVariable("TARNBECK_SCREENSHOOTER") != QLatin1String("none");
    }
    /// The desktop once a compositor has drawn the ticker's text in `window` and holds still.
    QImage shownPicture(const QRect &window);

    std::unique_ptr<TickerApp> m_app;
    QString m_desktop;
    double m_scale = 1;
    QImage m_empty; ///< the desktop before the ticker started
};

void TestDesktop::initTestCase()
{
    QString why;
    if (!available(&why))
        QSKIP(qPrintable(why));
    m_desktop = qEnvironmentVariable("TARNBECK_DESKTOP", QStringLiteral("this desktop"));
    m_scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
    // What each desktop's window manager (under Wayland, its XWayland manager) calls itself:
    // a run on a desktop that did not start must not pass for one on it.
    static const QHash<QString, QString> managers{
        {QStringLiteral("openbox"), QStringLiteral("^Openbox$")},
        {QStringLiteral("openbox-xcompmgr"), QStringLiteral("^Openbox$")},
        {QStringLiteral("openbox-picom"), QStringLiteral("^Openbox$")},
        {QStringLiteral("xfwm4"), QStringLiteral("^Xfwm4$")},
        {QStringLiteral("mutter"), QStringLiteral("Mutter|GNOME Shell")},
        {QStringLiteral("mutter-wayland"), QStringLiteral("Mutter|GNOME Shell")},
        {QStringLiteral("kwin"), QStringLiteral("^KWin$")},
        {QStringLiteral("kwin-wayland"), QStringLiteral("^KWin$")},
        {QStringLiteral("i3"), QStringLiteral("^i3$")},
        {QStringLiteral("sway"), QStringLiteral("^wlroots wm$")},
        {QStringLiteral("weston"), QStringLiteral("^Weston WM$")},
    };
    if (managers.contains(m_desktop)) {
        const QString running = windowManagerName();
        QVERIFY2(QRegularExpression(managers.value(m_desktop)).match(running).hasMatch(),
                 qPrintable(QStringLiteral("started for %1, but the window manager running is %2")
                                .arg(m_desktop, running.isEmpty() ? QStringLiteral("none")
                                                                  : QLatin1Char('"') + running +
                                                                        QLatin1Char('"'))));
    }
    qInfo("desktop: %s, scale %g", qPrintable(m_desktop), m_scale);
}

void TestDesktop::init()
{
    m_app = std::make_unique<TickerApp>();
    QVERIFY(m_app->prepare());
    // One airport at rest: what stands on the desktop is the report, not a slide under way.
    QCOMPARE(m_app->sql(QStringLiteral("UPDATE setting SET posX = %1, posY = %2, autochange = 0, "
                                       "scroll = 0; SELECT 1;")
                            .arg(place.x() * 15)
                            .arg(place.y() * 15)),
             QStringLiteral("1"));
    if (picturesTaken()) {
        m_empty = desktopPicture(m_app->path(QStringLiteral("empty.png")));
        QVERIFY(!m_empty.isNull());
    }
    m_app->start();
}

void TestDesktop::cleanup()
{
    if (QProcess *ticker = m_app->process(); ticker && ticker->state() != QProcess::NotRunning) {
        ticker->kill();
        ticker->waitForFinished();
    }
    m_app.reset();
}

QRect TestDesktop::waitForTicker(const std::function<bool(const QRect &)> &accept)
{
    return waitForStillWindow(
        QStringLiteral("^Tarnbeck$"),
        [&](const QRect &r) { return r.height() > 100 * m_scale && (!accept || accept(r)); },
        deadline);
}

QString TestDesktop::tickerId(const QRect &rect)
{
    for (const X11Window &w : windowsNamed(QStringLiteral("^Tarnbeck$"))) {
        if (w.rect == rect)
            return w.id;
    }
    return {};
}

QImage TestDesktop::shownPicture(const QRect &window)
{
    QImage shown;
    QImage previous;
    (void)QTest::qWaitFor(
        [&] {
            shown = desktopPicture(m_app->path(QStringLiteral("shown.png")));
            const bool steady = textPixels(shown, window) > 500 && shown == previous;
            previous = shown;
            return steady;
        },
        deadline);
    return shown;
}

void TestDesktop::standsAtItsPlaceWithoutFrameOrShadow()
{
    const QRect window = waitForTicker();
    QVERIFY2(!window.isNull(), qPrintable(m_desktop));
    QVERIFY2((window.topLeft() - expectedPlace()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("at %1,%2").arg(window.x()).arg(window.y())));
    if (!picturesTaken())
        QSKIP("no picture of the screen: frame and shadow");
    const QImage shown = shownPicture(window);
    // Nothing but the text changes the desktop: no frame, no shadow, no background. Without a
    // compositor the handle's square is shown whole, its inside black: the X server gives the
    // pointer to a window only where it is shown.
    const QRect around = window.adjusted(-40, -40, 40, 40);
    const bool composited =
        m_desktop != QLatin1String("openbox") && m_desktop != QLatin1String("i3");
    const QRect handleRow(window.topLeft(), QSize(window.width(), int(20 * m_scale)));
    const int stray = strayPixels(m_empty, shown, around, composited ? QRect() : handleRow);
    if (const QString shots = qEnvironmentVariable("TARNBECK_DESKTOP_SHOTS"); !shots.isEmpty()) {
        const QString name = QStringLiteral("%1/%2-%3").arg(shots, m_desktop).arg(m_scale);
        m_empty.save(name + QStringLiteral("-empty.png"));
        shown.save(name + QStringLiteral("-shown.png"));
    }
    QVERIFY2(stray == 0, qPrintable(QStringLiteral("%1 pixels of frame or shadow").arg(stray)));
    QVERIFY2(textPixels(shown, window) > 500,
             qPrintable(QStringLiteral("%1 text pixels").arg(textPixels(shown, window))));
}

void TestDesktop::takesThePointerOnlyOnTextAndHandle()
{
    if (!picturesTaken())
        QSKIP("no picture of the screen to find a glyph in");
    const QRect window = waitForTicker();
    QVERIFY(!window.isNull());
    const QImage shown = shownPicture(window);
    QPoint glyph;
    QPoint clear;
    const int margin = int(std::ceil(4 * m_scale));
    const QRect text = window.adjusted(0, int(20 * m_scale), 0, 0);
    for (int y = text.top() + margin; y < text.bottom() - margin; ++y) {
        for (int x = text.left() + margin; x < text.right() - margin; ++x) {
            if (glyph.isNull() && isText(shown.pixel(x, y)) && isText(shown.pixel(x + 1, y)) &&
                isText(shown.pixel(x, y + 1)))
                glyph = QPoint(x, y);
            bool alone = clear.isNull();
            for (int d = -margin; d <= margin && alone; ++d)
                alone = shown.pixel(x + d, y) == m_empty.pixel(x + d, y) &&
                        shown.pixel(x, y + d) == m_empty.pixel(x, y + d);
            if (alone)
                clear = QPoint(x, y);
        }
    }
    QVERIFY(!glyph.isNull() && !clear.isNull());
    // A manager that copies the window's shapes onto its frame does so a moment after they
    // change (the handle changes as the pointer passes): ask until the answer holds.
    // The root window holds every window: under it, the pointer reached the desktop.
    const QString root = rootWindow();
    const auto onTicker = [&](const QPoint &at) {
        const QString id = windowUnderPointer(at);
        return id != root && holdsWindowNamed(id, QStringLiteral("Tarnbeck"));
    };
    const auto takes = [&](const QPoint &at) {
        return QTest::qWaitFor([&] { return onTicker(at); }, 3000);
    };
    const auto passes = [&](const QPoint &at) {
        return QTest::qWaitFor([&] { return !onTicker(at); }, 3000);
    };
    QVERIFY2(takes(glyph), "a glyph lets the pointer through");
    const QPoint handle = window.topLeft() + QPoint(int(5 * m_scale), int(6 * m_scale));
    QVERIFY2(takes(handle), "the handle lets it through");
    QVERIFY2(passes(clear), qPrintable(QStringLiteral("the clear pixel %1,%2 takes the pointer")
                                           .arg(clear.x())
                                           .arg(clear.y())));
}

void TestDesktop::menuOpensAndADragIsSaved()
{
    const QRect window = waitForTicker();
    QVERIFY(!window.isNull());
    const QPoint handle = window.topLeft() + QPoint(int(5 * m_scale), int(6 * m_scale));
    QStringList before;
    for (const X11Window &w : windowsOfClass(QStringLiteral("tarnbeck")))
        before.append(w.id);
    click(handle, 3);
    QVERIFY2(!newWindowOfClass(QStringLiteral("tarnbeck"), before, 100, deadline).id.isEmpty(),
             "no menu");
    key(QStringLiteral("Escape"));

    const QPoint by(-60, -40);
    drag(handle, handle + by);
    const QRect moved =
        waitForTicker([&](const QRect &r) { return r.topLeft() != window.topLeft(); });
    QVERIFY(!moved.isNull());
    QVERIFY2((moved.topLeft() - (window.topLeft() + by)).manhattanLength() <= 2,
             qPrintable(QStringLiteral("moved to %1,%2").arg(moved.x()).arg(moved.y())));
    QVERIFY(m_app->terminate());
    // The window's own place, in twips of logical pixels.
    const QPoint logical = (QPointF(moved.topLeft()) / m_scale).toPoint();
    const QStringList saved =
        m_app->sql(QStringLiteral("SELECT posX, posY FROM setting;")).split(QLatin1Char('|'));
    QCOMPARE(saved.size(), 2);
    QVERIFY2(std::abs(saved[0].toDouble() / 15 - logical.x()) <= 1 &&
                 std::abs(saved[1].toDouble() / 15 - logical.y()) <= 1,
             qPrintable(saved.join(QLatin1Char(','))));
}

void TestDesktop::slidesWithoutError()
{
    QVERIFY(!waitForTicker().isNull());
    m_app->process()->kill();
    m_app->process()->waitForFinished();
    QFile::remove(m_app->path(QStringLiteral("tarnbeck.lock")));
    // Sliding as often as the settings allow, every step scrolled in.
    m_app->sql(QStringLiteral("UPDATE setting SET autochange = -1, scroll = -1, autochangerate = "
                              "'10', scrollrate = 10;"));
    QProcess *ticker = m_app->start();
    const int seconds = qEnvironmentVariableIntValue("TARNBECK_SLIDE_SECONDS");
    QTest::qWait(1000 * (seconds > 0 ? seconds : 25)); // the run itself is what is tested
    QCOMPARE(ticker->state(), QProcess::Running);
    const QString errors = QString::fromUtf8(ticker->readAllStandardError());
    QVERIFY2(!errors.contains(QLatin1String("ERROR")) && !errors.contains(QLatin1String("error")),
             qPrintable(errors.left(2000)));
    const QRect window = waitForTicker();
    QVERIFY((window.topLeft() - expectedPlace()).manhattanLength() <= 2);
    QVERIFY(m_app->terminate());
}

void TestDesktop::asksForNoAttention()
{
    // KWin marked a ticker shown with a user time of 0 as demanding attention.
    const QRect window = waitForTicker();
    QVERIFY(!window.isNull());
    const QString id = tickerId(window);
    QVERIFY(!id.isEmpty());
    QTest::qWait(1000);
    const QString state =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_STATE")});
    QVERIFY2(!state.contains(QLatin1String("DEMANDS_ATTENTION")), qPrintable(state));
    const QString active = run(QStringLiteral("xprop"),
                               {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")});
    QVERIFY2(!active.endsWith(QStringLiteral("0x%1").arg(id.toULong(), 0, 16)), qPrintable(active));
}

void TestDesktop::itsWindowsAreNotCovered()
{
    // The ticker stands in the middle of the screen, where "拡張設定" opens: the manager keeps
    // the window above it, or (where the ticker bypasses the manager and so stands above every
    // window) the ticker stands aside, and comes back when it closes.
    m_app->process()->kill();
    m_app->process()->waitForFinished();
    QFile::remove(m_app->path(QStringLiteral("tarnbeck.lock")));
    const QSize screen = screenSize();
    const QPoint middle = (QPointF(screen.width() / 2, screen.height() / 2) / m_scale).toPoint();
    m_app->sql(QStringLiteral("UPDATE setting SET posX = %1, posY = %2;")
                   .arg(middle.x() * 15)
                   .arg(middle.y() * 15));
    m_app->start();
    const QRect window = waitForTicker();
    QVERIFY(!window.isNull());
    const QString ticker = tickerId(window);
    const bool bypassing = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), ticker})
                               .contains(QLatin1String("Override Redirect State: yes"));
    const QPoint handle = window.topLeft() + QPoint(int(5 * m_scale), int(6 * m_scale));
    click(handle, 3);
    QTest::qWait(1000);
    // 終了, バージョン, 拡張設定...
    for (const char *k : {"Up", "Up", "Up", "Return"})
        key(QLatin1String(k));
    const QRect shown = waitForStillWindow(
        QStringLiteral("^拡張設定$"), [](const QRect &) { return true; }, deadline);
    QVERIFY2(!shown.isNull(), "拡張設定 did not open");
    // With the title bar a manager may draw above it.
    const QRect around = shown.adjusted(0, int(-30 * m_scale), 0, 0);
    const auto clear = [&] {
        const QList<X11Window> tickers = windowsNamed(QStringLiteral("^Tarnbeck$"));
        return std::none_of(tickers.begin(), tickers.end(), [&](const X11Window &w) {
            return w.rect.height() > 20 && w.rect.intersects(around);
        });
    };
    if (bypassing)
        QTRY_VERIFY2_WITH_TIMEOUT(clear(), "the ticker stands on 拡張設定", deadline);
    if (picturesTaken()) {
        QImage picture;
        QImage previous;
        (void)QTest::qWaitFor(
            [&] {
                picture = desktopPicture(m_app->path(QStringLiteral("dialog.png")));
                const bool still = !picture.isNull() && picture == previous;
                previous = picture;
                return still;
            },
            deadline);
        if (const QString shots = qEnvironmentVariable("TARNBECK_DESKTOP_SHOTS"); !shots.isEmpty())
            picture.save(QStringLiteral("%1/%2-%3-dialog.png").arg(shots, m_desktop).arg(m_scale));
        // No yellow of the ticker's text on the window.
        const int text = textPixels(picture, around & picture.rect());
        QVERIFY2(
            text == 0,
            qPrintable(QStringLiteral("%1 pixels of the ticker's text on 拡張設定").arg(text)));
    }
    key(QStringLiteral("Escape"));
    QVERIFY2(windowsGone(QStringLiteral("^拡張設定$"), deadline), "拡張設定 did not close");
    QTRY_VERIFY_WITH_TIMEOUT(waitForTicker().topLeft() == window.topLeft(), deadline);
    QVERIFY(m_app->terminate());
    // Its place is still the one it was given.
    const QStringList saved =
        m_app->sql(QStringLiteral("SELECT posX, posY FROM setting;")).split(QLatin1Char('|'));
    QCOMPARE(saved.size(), 2);
    QCOMPARE(QPoint(int(saved[0].toDouble() / 15), int(saved[1].toDouble() / 15)), middle);
}

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
