// What the command line's modes end with.
#pragma once

/// Exit statuses of the report modes.
namespace ExitStatus {
inline constexpr int reports = 0;    ///< every airport got its reports
inline constexpr int fixedText = 1;  ///< some airport shows "NO OBSERVATION" or "NO FORECAST"
inline constexpr int usage = 2;      ///< bad arguments
inline constexpr int noSettings = 3; ///< the settings file cannot be found or read
/// Nobody reads the output any more (a status bar reloaded): as a process ended by SIGPIPE, which
/// a shell's pipefail expects.
inline constexpr int outputClosed = 141;
} // namespace ExitStatus
