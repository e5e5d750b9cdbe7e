// The settings row, typed: every field with its default and its bounds in one table.
#pragma once

#include <QString>

class RecordSet;

/// One `setting` row. Values outside a field's bounds in a stored file are held to the bounds
/// when read.
struct Settings
{
    qint64 forecolor = 0;    ///< ticker text colour, 0x00BBGGRR
    int fontsize = 0;        ///< points, 3 to 18 (stored as the list text)
    int startup = 0;         ///< starts since the last compaction, 0 to 32767
    bool autochange = false; ///< slide through the checked targets
    int autochangerate = 0;  ///< seconds between slides, 10 to 90 (stored as the list text)
    bool scroll = false;     ///< the new text rises into view
    int scrollrate = 0;      ///< milliseconds a scroll step, 10 to 100
    bool update = false;     ///< bold ticker text
    bool getTAF = false;
    bool getSUNSET = false;
    bool uselocal = false;
    QString timediff; ///< "-23" ... "-1", " 0", "+1" ... "+23"
    float posX = 0;   ///< ticker left edge in twips; 0: never placed
    float posY = 0;

    bool operator==(const Settings &) const = default;

    /// Every field at its default.
    static Settings defaults();
    /// The current row of `rows`, each field held to its bounds (a missing one at its default).
    static Settings read(const RecordSet &rows);
    /// Sets the fields of the current row of `rows` that differ from `settings`; the caller
    /// writes them with one Update. False, with the record set's reason, on a failure.
    static bool assign(RecordSet &rows, const Settings &settings);
};

/// The stored text of an hour difference: " 0", "+9", "-5".
QString TimeDiffText(int hours);
