// Builds the chart window's "天気図" menu from the catalogue.
#pragma once

#include "web/DocumentAddress.h"

#include <QList>
#include <QString>
#include <functional>

class QMenu;

/// What choosing a catalogue entry asks the window to show.
struct ChartChoice
{
    const ChartItem *item;
    QString title; ///< built from the menu captions as they stand in the menu
};

/// Fills `menu` with the catalogue in menu order: every item named after its control, array items
/// carrying their index in the property "index". `chosen` runs when an entry is triggered.
void BuildChartMenu(QMenu *menu, const std::function<void(const ChartChoice &)> &chosen);

/// What choosing an entry of the menu "気象庁" asks the window to show.
struct JmaChoice
{
    const JmaItem *item;
    QString icao;       ///< the airport of an airport's entry or of the briefing, else empty
    QString title;      ///< the entry's caption
    QString areaCode;   ///< the low-level area of an area's entry or of the briefing
    ChartTarget target; ///< the airport of the briefing, its reports read out
};

/// Fills `menu` with the agency's charts, an airport's entries once per target in the order given,
/// the shown target once more above them, the low-level areas with the shown one's first; what
/// was in it goes. Entries are named after their
/// control (the shown target's with "_shown" added), an airport's carrying its indicator in the
/// property "icao".
void BuildJmaMenu(QMenu *menu, const QList<ChartTarget> &targets,
                  const std::function<void(const JmaChoice &)> &chosen);
