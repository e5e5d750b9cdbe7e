// How old a report is: its own "DDHHMMZ" time, or the station file's time line.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

/// Day `day` of a month at `time`, UTC: the latest such moment not after `latest`, passing over
/// months without that day. None when none of the last three months has it.
std::optional<QDateTime> DayOfMonthUtc(int day, QTime time, const QDateTime &latest);

/// The UTC moment of a report's "DDHHMMZ" group: the latest such moment not more than an hour
/// after `nowUtc` (a clock a little behind the station's must not push it a month back). A day
/// of the month past today's is in an earlier month; a month without that day is passed over.
/// None when the report has no readable group.
std::optional<QDateTime> ReportTimeUtc(QStringView report, const QDateTime &nowUtc);

/// The "YYYY/MM/DD HH:MM" line that opens a station file, as UTC; none when unreadable.
std::optional<QDateTime> StationFileTimeUtc(QStringView stationFile);

/// Whole minutes from the report in `stationFile` to `nowUtc` (never negative): from the
/// report's own group, else from the file's time line; none when neither can be read.
std::optional<qint64> ReportAgeMinutes(QStringView stationFile, const QDateTime &nowUtc);
