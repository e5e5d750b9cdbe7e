// How old a report is: the station file's time line, or the report's own "DDHHMMZ" time.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

/// The UTC moment of a "DDHHMMZ" group read at `nowUtc`: the latest such moment not more than an
/// hour after `nowUtc` (a clock a little behind the station's must not push it a month back). A
/// day of the month past today's is in an earlier month; a month without that day is passed
/// over. The one rule for every report time; none when `group` is not such a group.
std::optional<QDateTime> GroupTimeUtc(QStringView group, const QDateTime &nowUtc);

/// The UTC moment of a report's first "DDHHMMZ" group, by GroupTimeUtc; none when the report
/// has no readable group.
std::optional<QDateTime> ReportTimeUtc(QStringView report, const QDateTime &nowUtc);

/// The "YYYY/MM/DD HH:MM" line that opens a station file, as UTC; none when unreadable.
std::optional<QDateTime> StationFileTimeUtc(QStringView stationFile);

/// Whole minutes from the report in `stationFile` to `nowUtc` (never negative): from the file's
/// time line, which holds the full date, else from the report's own group; none when neither
/// can be read.
std::optional<qint64> ReportAgeMinutes(QStringView stationFile, const QDateTime &nowUtc);
