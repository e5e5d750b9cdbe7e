// Time to show the settings window over a loaded ticker, and the sun window with a year chosen.
#include "app/TickerSession.h"
#include "desktop/Fonts.h"
#include "settings/SettingsWindow.h"
#include "sunwindow/SunWindow.h"
#include "ticker/TickerWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

TickerSession *ticker = nullptr;

void showSettingsWindow(benchmark::State &state)
{
    for (auto _ : state) {
        SettingsWindow window(ticker->store(), &ticker->window());
        window.open();
        QApplication::processEvents();
        window.close();
    }
}
BENCHMARK(showSettingsWindow)->Unit(benchmark::kMillisecond);

void showSunWindowWithAYear(benchmark::State &state)
{
    for (auto _ : state) {
        SunWindow window;
        window.show();
        // The first airport of the list: the grid fills with its year.
        window.findChild<QComboBox *>(QStringLiteral("cmb0"))->setCurrentIndex(0);
        QApplication::processEvents();
    }
}
BENCHMARK(showSunWindowWithAYear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    // A ticker over a copy of the delivered database, its servers unreachable.
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(TARNBECK_DELIVERED_DB),
                dir.filePath(QStringLiteral("tarnbeck.dat")));
    QFile::setPermissions(dir.filePath(QStringLiteral("tarnbeck.dat")),
                          QFile::ReadOwner | QFile::WriteOwner);
    TickerSession session(dir.path());
    if (!session.Form_Load())
        return 1;
    ticker = &session;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    session.close();
    return 0;
}
