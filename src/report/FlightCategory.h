// The flight category of a METAR: VFR, MVFR, IFR or LIFR, from its ceiling and visibility.
#pragma once

#include <QString>

enum class FlightCategory { Unknown, LIFR, IFR, MVFR, VFR };

/// The category of a METAR or SPECI report, e.g. "RJTT 071230Z 34008KT 9999 FEW030 08/M02
/// Q1021 NOSIG". Ceiling: the lowest BKN or OVC layer or vertical visibility; CAVOK, NSC, SKC,
/// CLR, NCD and layers of FEW or SCT only mean none. Visibility: the prevailing one, in metres
/// (9999: 10 km or more) or in statute miles ("SM", fractions included). The worse of the two
/// decides; an unknown visibility ("////") is left out. A BKN, OVC or VV layer of unknown height
/// ("BKN///") with no known ceiling below it makes the ceiling unknown: then LIFR when the
/// visibility alone is LIFR, else Unknown. Only the groups before RMK and before a trend count.
/// Unknown when neither is known, and for anything that is not a report.
FlightCategory ClassifyMetar(const QString &report);

/// "VFR", "MVFR", "IFR", "LIFR", or empty for Unknown.
QString FlightCategoryText(FlightCategory category);
