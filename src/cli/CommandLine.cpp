// Reading the arguments, and the modes that end without the ticker.
#include "cli/CommandLine.h"

#include "cli/DecodeRun.h"
#include "cli/ExitStatus.h"
#include "cli/ReportRun.h"
#include "store/DatabaseLocation.h"
#include "store/SettingsStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QStandardPaths>
#include <TarnbeckVersion.h>
#include <cstdio>

namespace {

const QString printName = QStringLiteral("print");
const QString jsonName = QStringLiteral("json");
const QString watchName = QStringLiteral("watch");
const QString decodeName = QStringLiteral("decode");
const QString dbName = QStringLiteral("db");
const QString versionName = QStringLiteral("version");
const QString helpName = QStringLiteral("help");

// The single-dash options Qt itself reads from a program's arguments (its application classes
// and the xcb platform): those that take a value, then those that stand alone.
const QStringList qtValueOptions =
    QStringLiteral("platform platformpluginpath platformtheme plugin qwindowgeometry geometry "
                   "qwindowicon icon qwindowtitle title session style stylesheet display name "
                   "visual qmljsdebugger")
        .split(QLatin1Char(' '));
const QStringList qtFlagOptions =
    QStringLiteral("reverse testability widgetcount nograb dograb").split(QLatin1Char(' '));

/// Whether `argument` is one of Qt's options: "-display", or "-style=fusion" for one that
/// takes a value.
bool isQtOption(const QString &argument)
{
    if (!argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1String("--")))
        return false;
    const QString name = argument.mid(1).section(QLatin1Char('='), 0, 0);
    return qtValueOptions.contains(name) ||
           (qtFlagOptions.contains(name) && !argument.contains(QLatin1Char('=')));
}

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Desktop ticker of aviation weather (METAR, TAF) for Japanese airports.\n"
        "Without options it starts the ticker (it needs X11 or XWayland). The options below\n"
        "need no display: they read the settings without writing them and work while the\n"
        "ticker runs."));
    // Not addHelpOption(): its --help-all would promise Qt's options, which only the ticker takes.
    parser.addOption(
        {{QStringLiteral("h"), helpName}, QStringLiteral("Print this help and exit.")});
    parser.addOption({{QStringLiteral("v"), versionName},
                      QStringLiteral("Print \"tarnbeck <version>\" and exit.")});
    parser.addOption(
        {printName, QStringLiteral("Print the text the ticker shows for each ICAO (every checked "
                                   "target when none is named), a blank line between airports.")});
    parser.addOption(
        {jsonName, QStringLiteral("Print one line of JSON for a status bar (waybar, polybar): "
                                  "text, tooltip, class and alt, for exactly one ICAO.")});
    parser.addOption(
        {decodeName,
         QStringLiteral("Print the METAR and TAF of exactly one ICAO read out group by group in "
                        "Japanese; with --json, as one JSON object for scripts.")});
    parser.addOption(
        {watchName, QStringLiteral("With --json: print a new line whenever the report changes, "
                                   "checking at the ticker's refresh interval, until killed or "
                                   "nobody reads the output.")});
    parser.addOption({dbName,
                      QStringLiteral("Read the settings from FILE instead of the ticker's own "
                                     "tarnbeck.dat."),
                      QStringLiteral("FILE")});
    parser.addPositionalArgument(
        QStringLiteral("ICAO"),
        QStringLiteral("Four-letter ICAO code of an airport, e.g. RJTT (case does not matter)."),
        QStringLiteral("[ICAO...]"));
}

void say(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

/// The user's settings file, or none with the reason on stderr.
std::optional<QString> settingsFile(const CommandLineRequest &request,
                                    const QString &deliveredRelDir)
{
    if (!request.database.isEmpty())
        return request.database;
    // Where the ticker would look, without seeding the user's copy.
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList delivered{programDir, QDir(programDir).absoluteFilePath(deliveredRelDir)};
    const QString userDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString file =
        ReadableDatabaseFile(programDir, delivered, userDir, IsWritableDirectory(programDir));
    if (file.isEmpty()) {
        QStringList looked{QDir(userDir).absoluteFilePath(QLatin1String(SettingsStore::fileName))};
        for (const QString &dir : delivered)
            looked.append(QDir(dir).absoluteFilePath(QLatin1String(SettingsStore::fileName)));
        say(stderr, QStringLiteral("tarnbeck: no settings file; looked for %1")
                        .arg(looked.join(QStringLiteral(", "))));
        return std::nullopt;
    }
    return file;
}

} // namespace

bool WantsCommandLine(const QStringList &arguments)
{
    return arguments.size() >= 2 && !isQtOption(arguments.at(1));
}

CommandLineRequest ReadCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);
    CommandLineRequest request;
    // A single dash before a word would be read as a row of one-letter options and refused
    // letter by letter; name the word instead, and the option it was likely meant as.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--db")) {
            ++i; // its file may start with a dash
            continue;
        }
        if (argument.size() > 2 && argument.startsWith(QLatin1Char('-')) &&
            !argument.startsWith(QLatin1String("--"))) {
            request.error = QStringLiteral("unknown option '%1'").arg(argument);
            const QString word = argument.mid(1).section(QLatin1Char('='), 0, 0);
            if (QStringList{helpName, versionName, printName, jsonName, watchName, dbName}.contains(
                    word))
                request.error += QStringLiteral(" (did you mean '--%1'?)").arg(word);
            return request;
        }
    }
    if (!parser.parse(arguments)) {
        request.error = parser.errorText();
        return request;
    }
    if (parser.isSet(helpName)) {
        request.mode = CommandLineRequest::Mode::Help;
        return request;
    }
    if (parser.isSet(versionName)) {
        request.mode = CommandLineRequest::Mode::Version;
        return request;
    }
    const bool print = parser.isSet(printName);
    const bool decode = parser.isSet(decodeName);
    // --decode takes --json as its form, not as the status bar's mode.
    const bool json = parser.isSet(jsonName) && !decode;
    const bool anyMode = print || json || decode;
    const QStringList codes = parser.positionalArguments();
    request.watch = parser.isSet(watchName);
    request.decodeJson = decode && parser.isSet(jsonName);
    request.database = parser.value(dbName);
    if (print && (json || decode))
        request.error = QStringLiteral("--print and --%1 cannot be used together")
                            .arg(decode ? decodeName : jsonName);
    else if (!anyMode && !codes.isEmpty())
        request.error =
            QStringLiteral("'%1': name airports after --print, --json or --decode").arg(codes[0]);
    else if (request.watch && !json)
        request.error = QStringLiteral("--watch goes with --json alone");
    else if (parser.isSet(dbName) && !anyMode)
        request.error = QStringLiteral("--db goes with --print, --json or --decode");
    else if (parser.isSet(dbName) && request.database.isEmpty())
        request.error = QStringLiteral("--db needs the path of a settings file");
    else if ((json || decode) && codes.size() != 1)
        request.error = QStringLiteral("--%1 takes exactly one ICAO code, not %2")
                            .arg(decode ? decodeName : jsonName)
                            .arg(codes.size());
    if (!request.error.isEmpty() || !anyMode)
        return request;

    static const QRegularExpression icao(QStringLiteral("^[A-Za-z]{4}$"));
    for (const QString &code : codes) {
        if (!icao.match(code).hasMatch()) {
            request.error =
                QStringLiteral("'%1' is not an ICAO code: it must be four letters A-Z").arg(code);
            return request;
        }
    }
    for (const QString &code : codes)
        request.airports.append(code.toUpper());
    request.mode = print    ? CommandLineRequest::Mode::Print
                   : decode ? CommandLineRequest::Mode::Decode
                            : CommandLineRequest::Mode::Json;
    return request;
}

QString CommandLineHelp()
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText() + QStringLiteral("\nExit status:\n"
                                              "  0  every airport got its reports\n"
                                              "  1  some airport shows NO OBSERVATION or NO "
                                              "FORECAST, or no target is checked\n"
                                              "  2  bad usage\n"
                                              "  3  the settings file cannot be found or read\n"
                                              "  141  the output was closed before all was "
                                              "written (a status bar reloaded)\n");
}

QString ReadableDatabaseFile(const QString &programDir, const QStringList &deliveredDirs,
                             const QString &userDir, bool programDirWritable)
{
    const QString name = QLatin1String(SettingsStore::fileName);
    QStringList candidates{QDir(userDir).absoluteFilePath(name)};
    if (programDirWritable)
        candidates.prepend(QDir(programDir).absoluteFilePath(name));
    for (const QString &dir : deliveredDirs)
        candidates.append(QDir(dir).absoluteFilePath(name));
    for (const QString &file : std::as_const(candidates)) {
        if (QFileInfo::exists(file))
            return file;
    }
    return {};
}

std::optional<int> RunCommandLine(int argc, char *argv[], const QString &deliveredRelDir)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (!WantsCommandLine(arguments))
        return std::nullopt;

    QCoreApplication app(argc, argv);
    // The ticker's name, so that the user's copy of the settings is found where it put it.
    QCoreApplication::setApplicationName(QStringLiteral("Tarnbeck"));
    QCoreApplication::setApplicationVersion(QLatin1String(programVersion));
    // The store's failures are said below in one line each, not in its log as well.
    QLoggingCategory::setFilterRules(QStringLiteral("tarnbeck.store.warning=false"));
    const CommandLineRequest request = ReadCommandLine(arguments);
    switch (request.mode) {
    case CommandLineRequest::Mode::Ticker:
        if (request.error.isEmpty())
            return std::nullopt;
        say(stderr, QStringLiteral("tarnbeck: %1\nTry 'tarnbeck --help'.").arg(request.error));
        return ExitStatus::usage;
    case CommandLineRequest::Mode::Help:
        std::fputs(CommandLineHelp().toUtf8().constData(), stdout);
        return ExitStatus::reports;
    case CommandLineRequest::Mode::Version:
        say(stdout, QStringLiteral("tarnbeck %1").arg(QLatin1String(programVersion)));
        return ExitStatus::reports;
    case CommandLineRequest::Mode::Print:
    case CommandLineRequest::Mode::Json:
    case CommandLineRequest::Mode::Decode:
        break;
    }

    const std::optional<QString> file = settingsFile(request, deliveredRelDir);
    if (!file)
        return ExitStatus::noSettings;
    const QFileInfo info(*file);
    SettingsStore store(info.absolutePath(), info.fileName());
    if (!store.OpenSettingsReadOnly()) {
        say(stderr, QStringLiteral("tarnbeck: ") + store.englishError());
        return ExitStatus::noSettings;
    }
    if (!store.notice().isEmpty())
        say(stderr, QStringLiteral("tarnbeck: ") + store.notice());
    if (request.mode == CommandLineRequest::Mode::Decode)
        return RunDecode(store, request.airports.first(), request.decodeJson);
    ReportRun run(store);
    QObject::connect(
        &run, &ReportRun::ended, &app, [](int status) { QCoreApplication::exit(status); },
        Qt::QueuedConnection);
    if (request.mode == CommandLineRequest::Mode::Print)
        run.print(request.airports.isEmpty() ? CheckedTargets(store) : request.airports);
    else
        run.json(request.airports.first(), request.watch);
    return QCoreApplication::exec();
}
