// The program's standard error written without ever waiting on whoever reads it.
#pragma once

#include <QByteArrayView>

/// Writes what the standard error takes at once and drops the rest: a reader that does not read
/// (a pipe of a session nobody looks at, a terminal on hold) never holds up the event loop. The
/// next write that gets through says first how many bytes were dropped.
void WriteErrorOutput(QByteArrayView bytes);
