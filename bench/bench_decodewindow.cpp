// Time from the menu's "解読..." to the rows of the shown airport painted, five openings, over
// a loaded ticker whose report server is a loopback server of real station files.
#include "decodewindow/DecodeWindow.h"
#include "desktop/Fonts.h"
#include "support/TickerFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>

namespace {

/// Notes the first paint of the watched widget.
class PaintWatch final : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    TickerFixture fixture;
    const QString stations = QStringLiteral(TARNBECK_STATIONS);
    fixture.setTargets({{QStringLiteral("RJAA"), true}});
    fixture.server().serveFile(QStringLiteral("/data/observations/metar/stations/RJAA.TXT"),
                               stations + QStringLiteral("/metar/RJAA_1.TXT"));
    fixture.server().serveFile(QStringLiteral("/data/forecasts/taf/stations/RJAA.TXT"),
                               stations + QStringLiteral("/taf/RJAA_1.TXT"));
    fixture.setSettings(QStringLiteral("getTAF = -1"));
    if (!fixture.load() || !fixture.refreshNow())
        return 1;
    TickerMenu &menu = fixture.ticker()->menu();

    QList<double> ms;
    QList<double> filled; // the rows made, before the window system shows them
    for (int run = 0; run < 5; ++run) {
        PaintWatch watch;
        QElapsedTimer clock;
        clock.start();
        menu.menu_decode_Click();
        auto *window = qobject_cast<DecodeWindow *>(menu.decodeWindow());
        if (!window || window->groupRows()->rowCount() == 0)
            return 1;
        filled.append(double(clock.nsecsElapsed()) / 1e6);
        window->groupRows()->viewport()->installEventFilter(&watch);
        while (!watch.painted && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        ms.append(double(clock.nsecsElapsed()) / 1e6);
        std::printf("opening %d: %d rows made in %.1f ms, painted at %.1f ms\n", run + 1,
                    window->groupRows()->rowCount(), filled.last(), ms.last());
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(filled.begin(), filled.end());
    std::printf("menu to rows made: min %.1f, median %.1f, max %.1f ms\n", filled.first(),
                filled[2], filled.last());
    std::printf("menu to rows painted: min %.1f, median %.1f, max %.1f ms\n", ms.first(), ms[2],
                ms.last());
    return 0;
}
