// Which new METARs of the checked airports are worth a desktop notice: a worse flight category
// than the last one seen in this run, or a SPECI.
#pragma once

#include "report/FlightCategory.h"

#include <QHash>
#include <QString>
#include <optional>

struct CategoryNotice
{
    QString title;
    QString body;
};

class CategoryWatch
{
public:
    /// A METAR of `airport` as fetched now: `report` is the report text (the lines after the
    /// station file's time line, e.g. "RJTT 071230Z 34008KT 9999 FEW030 08/M02 Q1021 NOSIG"),
    /// `isSpeci` whether it came marked SPECI. The notice to send, if any: "RJTT VFR → IFR"
    /// when the category got worse, else "RJTT SPECI IFR" for a SPECI; never for the first
    /// report of an airport, nor twice for the same report. A report of no known category (a
    /// failed fetch) leaves what was seen before as it was.
    std::optional<CategoryNotice> observe(const QString &airport, const QString &report,
                                          bool isSpeci);

private:
    struct Seen
    {
        QString report; // blanks simplified
        FlightCategory category = FlightCategory::Unknown;
    };
    QHash<QString, Seen> m_seen;
};
