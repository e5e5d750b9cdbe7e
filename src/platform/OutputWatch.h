// Whether anyone still reads the process's standard output (a status bar's pipe).
#pragma once

#include <QObject>
#include <functional>

/// True once the reader of standard output has gone: a pipe or socket closed at its other end,
/// a terminal hung up. Never blocks.
bool StandardOutputClosed();

/// Runs `onClosed` from the event loop as soon as the reader of standard output goes, where that
/// can be watched without a write (a pipe); elsewhere the next write or StandardOutputClosed()
/// tells. Watched as long as `context` lives.
void WatchStandardOutput(QObject *context, std::function<void()> onClosed);
