// Start-up only: the command line, platform choices, the application object and the ticker.
#include "app/TickerSession.h"
#include "cli/CommandLine.h"
#include "desktop/Fonts.h"
#include "desktop/MessageBox.h"
#include "desktop/Platform.h"
#include "platform/TerminationSignals.h"
#include "platform/Translations.h"
#include "store/DatabaseLocation.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <TarnbeckVersion.h>
#include <cstdio>
#include <vector>

#ifdef TARNBECK_SANITIZE
// The browser engine of the chart window (not our code) frees some objects with a sized delete
// of the wrong size; in a sanitizer build that check would end the program.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif

int main(int argc, char *argv[])
{
    // --help, --version and the report modes need no display: answered before one is sought.
    if (const std::optional<int> status =
            RunCommandLine(argc, argv, QStringLiteral(TARNBECK_DELIVERED_RELDIR)))
        return *status;
    const X11Choice x11 = ChooseX11();
    if (!x11.reachable) {
        std::fprintf(stderr, "%s\n", qPrintable(x11.error));
        return 1;
    }
    if (!x11.notice.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(x11.notice));
    // Asked of Qt by argument, not by environment: the browser it starts keeps the user's.
    std::vector<char *> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char platformName[] = "xcb";
    arguments.push_back(platformOption);
    arguments.push_back(platformName);
    int count = int(arguments.size());
    arguments.push_back(nullptr);
    QApplication app(count, arguments.data());
    // The program ends with the ticker (TickerSession::exited), never because the last window
    // shown has closed: the ticker may be hidden while a window it stood aside for is open.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Tarnbeck"));
    QApplication::setApplicationVersion(QLatin1String(programVersion));
    InstallFontSubstitutions();
    InstallQtTranslations();

    // Beside the program when it was built here; an installed program keeps the delivered file
    // in its data directory and works on a per-user copy.
    const QString programDir = QApplication::applicationDirPath();
    const QString installedData =
        QDir(programDir).absoluteFilePath(QStringLiteral(TARNBECK_DELIVERED_RELDIR));
    const DatabaseLocation where =
        ResolveDatabaseLocation(programDir, {programDir, installedData},
                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // A program that cannot start says why, and ends (with 1) when the user has read it.
    const auto endAfter = [&app](QMessageBox *box) {
        if (!box)
            return 1;
        QObject::connect(box, &QMessageBox::finished, &app, [&app] { app.exit(1); });
        return app.exec();
    };
    if (!where.error.isEmpty())
        return endAfter(
            ShowMessage(nullptr, QMessageBox::Critical, QStringLiteral(" Tarnbeck"), where.error));

    TickerSession ticker(where.directory);
    if (!ticker.Form_Load())
        return endAfter(ticker.startMessage());
    QObject::connect(&ticker, &TickerSession::exited, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    // A logout or kill ends the program the way "終了" does: place saved, database closed.
    CloseOnTerminationSignals(&ticker, [&ticker] { ticker.close(); });
    return app.exec();
}
