// Durable file replacement: flush to disk, then rename over the old file.
#pragma once

#include <QString>

/// Flushes a file's contents to the disk; false if it cannot be opened or flushed.
bool SyncFile(const QString &path);
/// Replaces `target` by `source` in one atomic step and makes the rename itself durable.
/// Empty when done, else why not.
QString ReplaceFile(const QString &source, const QString &target);
