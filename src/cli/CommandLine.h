// The command line: help, version and the report modes, answered before any display is touched.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// What the arguments ask for.
struct CommandLineRequest
{
    enum class Mode { Ticker, Help, Version, Print, Json, Decode };
    Mode mode = Mode::Ticker;
    QStringList airports;    ///< ICAO codes in upper case, in the order given
    bool watch = false;      ///< --json: a new line whenever the report changes
    bool decodeJson = false; ///< --decode --json: the decoding as JSON
    QString database;        ///< --db: the settings file; empty: the ticker's own
    QString error;           ///< bad usage, said in one line; empty when the arguments are good
};

/// Whether the arguments (the program's name first) are for the command line rather than the
/// ticker. None are the ticker's; so is a first argument that is one of the options Qt itself
/// reads ("-display :1", "-session ..." from a session manager, "-style=fusion"). Any other
/// single-dash word ("-print") is the command line's, which refuses it as unknown.
bool WantsCommandLine(const QStringList &arguments);

/// Reads the arguments (the program's name first).
CommandLineRequest ReadCommandLine(const QStringList &arguments);

/// The text --help prints: every option in English, then the exit statuses.
QString CommandLineHelp();

/// The settings file the ticker would use, found without writing anything: beside the program
/// when it is there and the folder is writable, else the user's copy, else (before the first
/// start) the delivered file itself. Empty when there is none.
QString ReadableDatabaseFile(const QString &programDir, const QStringList &deliveredDirs,
                             const QString &userDir, bool programDirWritable);

/// Runs what the command line asks for and gives the exit status, or none when the ticker is
/// to start. `deliveredRelDir` leads from the program's directory to the installed data.
std::optional<int> RunCommandLine(int argc, char *argv[], const QString &deliveredRelDir);
