// The text the ticker shows for one airport, made from the station files already fetched.
#pragma once

#include "report/FlightCategory.h"
#include "store/AirportCoordinates.h"
#include "store/DisplayOptions.h"

#include <QDateTime>
#include <QString>
#include <optional>

/// Where a station file came from.
enum class ReportOrigin { None, FirstSource, SecondSource };

/// One station file as a source handed it over.
struct FetchedReport
{
    QString stationFile; ///< as the report server lays it out; empty when no source answered
    ReportOrigin origin = ReportOrigin::None;
    bool speci = false; ///< the report came marked SPECI (only the second source marks it)
};

/// Everything besides the station files that the text depends on.
struct ReportTextOptions
{
    bool uselocal = false;
    QString timediff;
    bool getTAF = false;    ///< the TAF part follows the METAR
    bool getSUNSET = false; ///< the sun line ends the text (when `place` is known)
    DisplayOptions display;
    std::optional<AirportCoordinates> place;
};

struct ComposedReport
{
    QString text;                                      ///< lines broken by CR
    FlightCategory category = FlightCategory::Unknown; ///< for the handle; Unknown unless shown
};

/// The ReportText of `airport`: the METAR with its header marks, the TAF when `getTAF`, the sun
/// line when `getSUNSET`. `now` dates the report's age and gives the sun line's day (the local
/// date, as the computer's clock would give it).
ComposedReport ComposeReportText(const QString &airport, const FetchedReport &metar,
                                 const FetchedReport &taf, const ReportTextOptions &options,
                                 const QDateTime &now);

/// The report of a station file: what follows its time line.
QString ReportLines(const QString &stationFile);
