// Where the settings database lives: beside the program, or per user when that is read-only.
#pragma once

#include <QString>

struct DatabaseLocation
{
    QString directory; ///< the directory that holds tarnbeck.dat (and its compaction copy)
    QString error;     ///< empty on success
};

/// Uses `programDir` when it is writable; otherwise `userDir`, seeded once from the delivered
/// file in `programDir`. A seed is copied to a temporary name first, so it is never half there.
DatabaseLocation ResolveDatabaseLocation(const QString &programDir, const QString &userDir);
/// The same, with the writability of `programDir` already known.
DatabaseLocation ResolveDatabaseLocation(const QString &programDir, const QString &userDir,
                                         bool programDirWritable);
/// True when a file can really be created in `dir` (permission bits alone mislead root).
bool IsWritableDirectory(const QString &dir);
