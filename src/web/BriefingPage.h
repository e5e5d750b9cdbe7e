// The briefing page of the shown airport: its reports read out and the agency's charts a pilot
// reads before a flight, on one page that prints a chart a sheet.
#pragma once

#include "web/ChartMenu.h"
#include "web/DocumentAddress.h"

#include <QDateTime>
#include <QList>
#include <QString>

/// One chart of the page: its heading and where it lives, the runs before it as fallbacks.
struct BriefingChart
{
    QString heading;
    DocumentAddress address;
    /// The time of issue the heading names for the address and for each fallback, in turn;
    /// empty when the agency gives none.
    QStringList issued;
};

struct BriefingPage
{
    QString title;
    QList<BriefingChart> charts; ///< in the page's order; none when the airport has no area
    QString html;
};

/// The page for the briefing entry `choice` at `utcNow`. A chart whose source has no address
/// makes the whole page the one that asks for it, since every chart comes from the same host.
BriefingPage MakeBriefingPage(const JmaChoice &choice, const SourceHosts &hosts,
                              const QDateTime &utcNow);
