// Where a known airport lies, as the airport list stores it.
#pragma once

#include <QString>

/// Coordinate texts of a known airport (DDMMSS, DDDMMSS).
struct AirportCoordinates
{
    QString lat;
    QString lon;
};
