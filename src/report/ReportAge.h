// How old a report is: its own "DDHHMMZ" time, dated by the station file's time line.
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

/// The date of a report's day of the month `day`, read beside the station file's time line dated
/// `fileDay`: in that month, or the month before for a day after the line's (a month without
/// that day is passed over). None when no month near has it.
std::optional<QDate> ReportDateOfDay(int day, const QDate &fileDay);

/// The "YYYY/MM/DD HH:MM" line that opens a station file, as UTC; none when unreadable.
std::optional<QDateTime> StationFileTimeUtc(QStringView stationFile);

/// Whole minutes from the report in `stationFile` to `nowUtc` (never negative). The report's
/// moment is its own "DDHHMMZ" group with the month and year of the file's time line (a day
/// after the line's is in the month before): the line says when the file was written, which may
/// be days later. The line's own moment when the report has no readable group; the group read
/// at `nowUtc` when the line is unreadable; none when neither can be read.
std::optional<qint64> ReportAgeMinutes(QStringView stationFile, const QDateTime &nowUtc);
