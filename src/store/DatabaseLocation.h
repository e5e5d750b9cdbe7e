// Where the settings database lives: beside the program, or per user for an installed program.
#pragma once

#include <QString>
#include <QStringList>

struct DatabaseLocation
{
    QString directory; ///< the directory that holds tarnbeck.dat (and its compaction copy)
    QString error;     ///< empty on success
};

/// The program's own directory when it holds the database and is writable. Otherwise the
/// per-user directory `userDir`, seeded once from the first delivered file found in
/// `deliveredDirs` (the program's directory, then the installed data directory). A seed is
/// copied under a temporary name first, so it is never half there.
DatabaseLocation ResolveDatabaseLocation(const QString &programDir,
                                         const QStringList &deliveredDirs, const QString &userDir,
                                         bool programDirWritable);
/// The same, testing the program directory's writability.
DatabaseLocation ResolveDatabaseLocation(const QString &programDir,
                                         const QStringList &deliveredDirs, const QString &userDir);
/// True when a file can really be created in `dir` (permission bits alone mislead root).
bool IsWritableDirectory(const QString &dir);
