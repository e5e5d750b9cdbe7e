// What the ticker adds to a report's header line, and when it tells of a worse report.
#pragma once

#include <array>

class SettingsStore;

/// The options of the tab "表示", kept in the table `option`. All start off: with them off the
/// ticker shows the report text alone.
struct DisplayOptions
{
    static constexpr std::array<int, 4> oldMinuteChoices{45, 75, 105, 135};

    bool showCategory = false; ///< the flight category in the header and on the handle
    bool markOld = false;      ///< "  95 MIN OLD" after a stale report's time
    int oldMinutes = 75;       ///< one of oldMinuteChoices
    bool notifyWorse = false;  ///< a desktop notice when an airport's category worsens
    bool outline = false;      ///< an edge around the text and the handle

    friend bool operator==(const DisplayOptions &, const DisplayOptions &) = default;
};

/// The stored options; a value that is missing or not understood reads as its default.
DisplayOptions LoadDisplayOptions(SettingsStore &store);
/// Writes every option in one transaction; false, with the store's error and nothing written,
/// when a write fails.
bool SaveDisplayOptions(SettingsStore &store, const DisplayOptions &options);
