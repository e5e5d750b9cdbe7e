// Where each kind of document lies on its source, whatever the source's address.
#pragma once

#include <QString>

namespace SourcePath {
/// The report server's station files: the path, the indicator, ".TXT".
inline constexpr char metarStations[] = "/data/observations/metar/stations/";
inline constexpr char tafStations[] = "/data/forecasts/taf/stations/";
/// What the network check fetches from the home page's host.
inline constexpr char networkCheck[] = "/ident.dat";

/// The station file of `airport` on the report server.
inline QString stationFile(const QString &airport, bool isTaf)
{
    return QLatin1String(isTaf ? tafStations : metarStations) + airport + QLatin1String(".TXT");
}

/// The second source's raw reports of `airport`.
inline QString dataApi(const QString &airport, bool isTaf)
{
    return QStringLiteral("/api/data/%1?ids=%2&format=raw")
        .arg(isTaf ? QStringLiteral("taf") : QStringLiteral("metar"), airport);
}
} // namespace SourcePath
