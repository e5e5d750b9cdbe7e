// xdotool and ImageMagick wrappers for the end-to-end tests.
#include "e2e/X11Driver.h"

#include <QColor>
#include <QHash>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

namespace X11Driver {

bool available(QString *why)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        *why = QStringLiteral("needs an X display (run under xvfb-run)");
        return false;
    }
    for (const char *tool : {"xdotool", "xsetroot", "import", "sqlcipher"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            *why = QStringLiteral("%1 is missing").arg(QLatin1String(tool));
            return false;
        }
    }
    return true;
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(15000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

namespace {

QList<X11Window> search(const QStringList &criteria)
{
    QList<X11Window> found;
    const QStringList ids =
        run(QStringLiteral("xdotool"),
            QStringList{QStringLiteral("search"), QStringLiteral("--onlyvisible")} + criteria)
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &id : ids) {
        QHash<QString, int> v;
        const QString shell = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                              QStringLiteral("--shell"), id});
        for (const QString &line : shell.split(QLatin1Char('\n'))) {
            const QStringList kv = line.split(QLatin1Char('='));
            if (kv.size() == 2)
                v.insert(kv[0], kv[1].toInt());
        }
        found.append(
            {id, QRect(v.value(QStringLiteral("X")), v.value(QStringLiteral("Y")),
                       v.value(QStringLiteral("WIDTH")), v.value(QStringLiteral("HEIGHT")))});
    }
    return found;
}

} // namespace

QList<X11Window> windowsNamed(const QString &name)
{
    return search({QStringLiteral("--name"), name});
}

QList<X11Window> waitForWindowsNamed(const QString &name, int timeoutMs)
{
    QList<X11Window> found;
    (void)QTest::qWaitFor(
        [&] {
            found = windowsNamed(name);
            return !found.isEmpty();
        },
        timeoutMs);
    return found;
}

bool windowsGone(const QString &name, int timeoutMs)
{
    return QTest::qWaitFor([&] { return windowsNamed(name).isEmpty(); }, timeoutMs);
}

QRect waitForStillWindow(const QString &name, const std::function<bool(const QRect &)> &accept,
                         int timeoutMs)
{
    QRect found;
    QRect previous;
    (void)QTest::qWaitFor(
        [&] {
            found = {};
            for (const X11Window &w : windowsNamed(name)) {
                if (accept(w.rect))
                    found = w.rect;
            }
            const bool still = !found.isNull() && found == previous;
            previous = found;
            return still;
        },
        timeoutMs);
    return found == previous ? found : QRect();
}

QList<X11Window> windowsOfClass(const QString &windowClass)
{
    return search({QStringLiteral("--class"), windowClass});
}

X11Window newWindowOfClass(const QString &windowClass, const QStringList &known, int minHeight,
                           int timeoutMs)
{
    X11Window found;
    (void)QTest::qWaitFor(
        [&] {
            for (const X11Window &w : windowsOfClass(windowClass)) {
                if (!known.contains(w.id) && w.rect.height() > minHeight) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

namespace {

/// The manager's check window: named on the root, and naming itself, so that a window left named
/// by a manager that has gone no longer counts. Empty when none.
QString managerCheckWindow()
{
    const auto checkWindow = [](const QStringList &window) {
        const QString said = run(QStringLiteral("xprop"),
                                 window + QStringList{QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
        const qsizetype at = said.indexOf(QLatin1String("window id # "));
        return at < 0 ? QString() : said.mid(at + 12).section(QLatin1Char(' '), 0, 0);
    };
    const QString id = checkWindow({QStringLiteral("-root")});
    return !id.isEmpty() && checkWindow({QStringLiteral("-id"), id}) == id ? id : QString();
}

} // namespace

bool windowManagerRunning()
{
    return !managerCheckWindow().isEmpty();
}

QString windowManagerName()
{
    const QString id = managerCheckWindow();
    if (id.isEmpty())
        return {};
    // _NET_WM_NAME(UTF8_STRING) = "Openbox"
    const QString said =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_WM_NAME")});
    const qsizetype open = said.indexOf(QLatin1Char('"'));
    const qsizetype close = said.lastIndexOf(QLatin1Char('"'));
    return open >= 0 && close > open ? said.mid(open + 1, close - open - 1) : QString();
}

bool compositorRunning()
{
    // xcompmgr names the window that holds the compositing-manager selection as it takes it.
    return holdsWindowNamed(rootWindow(), QStringLiteral("xcompmgr"));
}

QSize screenSize()
{
    const QStringList size = run(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")})
                                 .split(QLatin1Char(' '));
    return size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
}

QImage screenshot(const QString &path)
{
    run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    return QImage(path);
}

QImage drawnScreenshot(const QString &path, const QRect &area, const QRect &window, int timeoutMs,
                       const std::function<bool(const QImage &)> &ready)
{
    const auto oneColour = [](const QImage &image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != image.pixel(0, 0))
                    return false;
            }
        }
        return true;
    };
    QImage shot;
    QImage previous;
    const bool drawn = QTest::qWaitFor(
        [&] {
            shot = screenshot(path);
            const QImage look = shot.copy(area);
            const bool steady = !look.isNull() && look == previous &&
                                !oneColour(shot.copy(window)) && (!ready || ready(shot));
            previous = look;
            return steady;
        },
        timeoutMs);
    return drawn ? shot : QImage();
}

void mouseMove(const QPoint &at)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
}

void click(const QPoint &at, int button)
{
    mouseMove(at);
    run(QStringLiteral("xdotool"), {QStringLiteral("click"), QString::number(button)});
}

void clickInWindow(const QString &windowId, const QPoint &at, int button)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"),
                                    windowId, QString::number(at.x()), QString::number(at.y())});
    run(QStringLiteral("xdotool"), {QStringLiteral("click"), QString::number(button)});
}

void drag(const QPoint &from, const QPoint &to)
{
    // The pace of a quick hand, 50 ms a step: the timing is what the program is given, not a
    // wait for anything it does, so it stays fixed.
    constexpr unsigned long handStepMs = 50;
    mouseMove(from);
    run(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QStringLiteral("1")});
    QThread::msleep(handStepMs);
    // A quick hand: the first movement is as long as the others, and must not be lost.
    for (int step = 1; step <= 5; ++step) {
        mouseMove(from + (to - from) * step / 5);
        QThread::msleep(handStepMs);
    }
    run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
}

void key(const QString &keys)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keys});
}

void keyToWindow(const QString &windowId, const QString &keys)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId});
    key(keys);
}

void setDesktopColor(const QString &color)
{
    run(QStringLiteral("xsetroot"), {QStringLiteral("-solid"), color});
}

QString windowUnderPointer(const QPoint &at)
{
    mouseMove(at);
    const QString shell = run(QStringLiteral("xdotool"),
                              {QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("WINDOW=")))
            return line.mid(7);
    }
    return {};
}

QString rootWindow()
{
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    const qsizetype at = info.indexOf(QLatin1String("Window id: "));
    return at < 0 ? QString()
                  : QString::number(
                        info.mid(at + 11).section(QLatin1Char(' '), 0, 0).toUInt(nullptr, 16));
}

bool holdsWindowNamed(const QString &id, const QString &name)
{
    return run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id, QStringLiteral("-tree")})
        .contains(QLatin1Char('"') + name + QLatin1Char('"'));
}

ColorCount countColors(const QImage &image, const QRect &area, const QColor &a, const QColor &b)
{
    ColorCount count;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == a)
                ++count.a;
            else if (c == b)
                ++count.b;
            else
                ++count.other;
        }
    }
    return count;
}

} // namespace X11Driver
