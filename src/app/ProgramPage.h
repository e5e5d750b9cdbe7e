// The page the version item opens: the configured address, or the about page delivered with the
// program.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

/// `configured` when it is set; otherwise the delivered about page found first in `directories`,
/// as a file: URL; an empty URL when there is neither.
QUrl ProgramPageUrl(const QString &configured, const QStringList &directories);
/// The same over the directories of the running program.
QUrl ProgramPageUrl(const QString &configured);
/// Where a program in `programDir` finds its about page: beside itself (a build), then the
/// installed data directory.
QStringList ProgramPageDirectories(const QString &programDir);
