// Builds the chart window's "天気図" menu from the catalogue.
#pragma once

#include "web/WebCatalogue.h"

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
