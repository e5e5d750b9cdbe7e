// The sqlcipher shell over a settings file, as a user would reach it.
#pragma once

#include <QString>

/// What the sqlcipher shell prints for `statements` on the settings file `database`, keyed for
/// the project's file format and trimmed; SQLCipher 4's "ok" answer to the key is not part of it.
QString RunSqlShell(const QString &database, const QString &statements);
