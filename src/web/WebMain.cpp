// tarnbeck-web: the chart and camera windows in a process of their own, started by the ticker on
// first use and driven through standard input and output (web/WebProtocol.h). The browser
// engine's memory goes with the process when the last window closes.
#include "platform/Translations.h"
#include "web/WebWindowsServer.h"

#include <QApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <TarnbeckVersion.h>
#include <cstdio>

#ifdef TARNBECK_SANITIZE
// The browser engine (not our code) frees some objects with a sized delete of the wrong size; in
// a sanitizer build that check would end the program.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
#endif

int main(int argc, char *argv[])
{
    if (argc > 1 && (qstrcmp(argv[1], "--help") == 0 || qstrcmp(argv[1], "--version") == 0)) {
        std::printf("tarnbeck-web %s: the chart and camera windows of tarnbeck, which starts "
                    "this program itself.\n",
                    programVersion);
        return 0;
    }
    // Made at start: this process exists for the windows, which all need it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The class of the windows stays the ticker's, so desktops group them with it.
    QApplication::setApplicationName(QStringLiteral("Tarnbeck"));
    QApplication::setApplicationVersion(QLatin1String(programVersion));
    QApplication::setQuitOnLastWindowClosed(false); // the server says when
    // The engine lists its whole graphics set-up on every start; QT_LOGGING_RULES, which
    // overrides these rules, still brings the list back for whoever wants it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    InstallQtTranslations();

    QFile out;
    QFile in;
    // By descriptor, unbuffered: a line read must not leave the next one in a buffer that no
    // notifier would announce.
    if (!out.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !in.open(fileno(stdin), QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        std::fprintf(stderr, "tarnbeck-web: no standard input or output\n");
        return 1;
    }
    WebWindowsServer server([&out](const QByteArray &line) {
        out.write(line);
        out.flush();
    });
    QObject::connect(&server, &WebWindowsServer::finished, &app, &QApplication::quit,
                     Qt::QueuedConnection);

    // The ticker writes whole lines, so a line begun is read to its end at once; an empty read
    // is the end of the input: the ticker has gone.
    QSocketNotifier input(in.handle(), QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &server, [&] {
        const QByteArray line = in.readLine();
        if (!line.isEmpty()) {
            server.receive(line);
            return;
        }
        input.setEnabled(false);
        server.tickerGone();
    });

    server.start();
    return app.exec();
}
