// Starting at login through the desktop's XDG autostart folder; the entry's presence is the
// setting, so it agrees with what the desktop's own autostart manager shows.
#pragma once

#include <QString>

/// `$XDG_CONFIG_HOME/autostart/tarnbeck.desktop`; `~/.config` when XDG_CONFIG_HOME is unset or
/// not absolute.
QString AutostartEntryPath();

/// True when the entry exists and the desktop has not switched it off (`Hidden=true`, or
/// `X-GNOME-Autostart-enabled=false`).
bool StartsAtLogin();

/// Writes the entry so that it starts `program`, or removes it. Empty when done, else a message
/// naming the file and its folder.
QString SetStartAtLogin(bool on, const QString &program);

/// The `Exec` value that runs `program` with no arguments, quoted and escaped as a desktop entry
/// needs.
QString DesktopExecValue(const QString &program);
