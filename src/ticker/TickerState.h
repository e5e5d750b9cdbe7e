// State of the ticker cycle that the ticker, its menu and the settings window share.
#pragma once

#include <QString>

struct TickerState
{
    static constexpr auto programVersion = "1.6";

    QString currentAirport;       ///< the airport the next refresh builds
    qint16 slidePeriod = 1;       ///< refresh-clock ticks from one refresh to the next
    qint16 slideCount = 0;        ///< ticks counted since the last refresh
    bool anyChecked = false;      ///< a target airport takes part in the rotation
    bool pointerOnHandle = false; ///< the pointer was last over the handle square
};
