// A polite end on SIGTERM, SIGINT and SIGHUP: the program closes as if the user chose "終了".
#pragma once

#include <QObject>
#include <functional>

/// Runs `onSignal` on the event loop's thread when the process is asked to terminate (a
/// logout, `kill`, Ctrl+C), instead of dying with its settings unsaved.
void CloseOnTerminationSignals(QObject *context, std::function<void()> onSignal);
