// The flight category of a METAR: VFR, MVFR, IFR or LIFR, from its ceiling and visibility.
#pragma once

#include <QString>

enum class FlightCategory { Unknown, LIFR, IFR, MVFR, VFR };

/// The category of a METAR or SPECI report, e.g. "RJTT 071230Z 34008KT 9999 FEW030 08/M02
/// Q1021 NOSIG". Ceiling: the lowest BKN or OVC layer or vertical visibility; CAVOK, NSC, SKC,
/// CLR, NCD and layers of FEW or SCT only mean none. Visibility: the prevailing one, in metres
/// (9999: 10 km or more) or in statute miles ("SM", fractions included). The worse of the two
/// decides. The ceiling is unknown when no sky group is reported, or when a layer that may be it
/// (BKN, OVC or VV of unknown height, "BKN///"; a layer of unreported amount, "//////",
/// "///CB") has no known ceiling below it; the visibility is unknown when it is not reported
/// ("////" or no group). With either unknown: LIFR when the known one alone is LIFR, else
/// Unknown. Only the groups before RMK and before a trend count. Unknown for anything that is
/// not a report.
FlightCategory ClassifyMetar(const QString &report);

/// "VFR", "MVFR", "IFR", "LIFR", or empty for Unknown.
QString FlightCategoryText(FlightCategory category);
