// Treatment of one station file of the report server into display pieces.
#pragma once

#include <QString>

/// What one station file gives the ticker. A member is empty where its step does not run.
struct StationReport
{
    QString reportBody; ///< the report, cut and spaced for display
    QString reportTime; ///< HHMM and the zone letter, e.g. "0930Z"
    QString zoneLetter; ///< the zone letter of reportTime
};

inline constexpr auto noObservation = "      NO OBSERVATION";
inline constexpr auto noForecast = "      NO FORECAST";

/// The military time-zone letter of a whole-hour offset east of UTC; empty outside -12..12.
QString ZoneLetterFor(qint16 offset);

/// Cuts, spaces and re-times a station file. A response that is not a station file (it starts
/// with "<") gives the fixed "no observation" or "no forecast" body and an empty time.
StationReport TreatStationFile(const QString &response, bool isTaf, bool useLocal,
                               const QString &timediff);

/// A station file as a server sent it, with CRLF, CR or LF line ends and its last line ended or
/// not, in the one form the treatment reads: LF ends, the last line ended (an empty file stays
/// empty).
QString WithLineFeeds(const QString &served);

/// Whether `file` is a station file of `airport`: a first line "YYYY/MM/DD HH:MM", then a report
/// in plain text whose first group, after the product's words the report server sets before it
/// ("METAR", "SPECI", "COR"; for a TAF "TAF", "AMD", "COR", on lines of their own or not), is
/// `airport`. Anything else (a page, stray bytes, another station's report, an empty file) is no
/// answer at all.
bool IsStationFileOf(QStringView file, QStringView airport, bool isTaf);

/// The same fixed report as for a page that is not a station file: for failed fetches.
StationReport MissingStationReport(bool isTaf);
