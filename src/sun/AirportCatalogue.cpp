// The catalogue rows come from data/airports.tsv through the generated CatalogueData.inc.
#include "sun/AirportCatalogue.h"

#include "sun/SunTimes.h"

#include <iterator>

namespace {

struct CatalogueRow
{
    const char *name; // UTF-8
    const char *indicator;
    const char *lat;
    const char *lon;
    float elevation;
    const char *area; // UTF-8
};

constexpr CatalogueRow kRows[] = {
#include "CatalogueData.inc"
};

constexpr qsizetype kAerodromes = 129;
constexpr qsizetype kAirfieldsEnd = 138;
static_assert(std::size(kRows) == 186, "data/airports.tsv must hold the 186 catalogue entries");

/// The first row of the location indicator `indicator` (case ignored).
const CatalogueRow *rowOf(const QString &indicator)
{
    const QByteArray key = indicator.trimmed().toUpper().toLatin1();
    if (key.isEmpty())
        return nullptr;
    for (const CatalogueRow &row : kRows) {
        if (key == row.indicator)
            return &row;
    }
    return nullptr;
}

} // namespace

QStringList catalogueNames()
{
    static const QStringList names = [] {
        QStringList list;
        list.reserve(std::ssize(kRows));
        for (const CatalogueRow &row : kRows)
            list.append(QString::fromUtf8(row.name));
        return list;
    }();
    return names;
}

QStringList catalogueListItems()
{
    static const QStringList items = [] {
        QStringList list = catalogueNames();
        const QString separator = QStringLiteral("---");
        // Insert the later one first so the earlier index still points at the same place.
        list.insert(kAirfieldsEnd, separator);
        list.insert(kAerodromes, separator);
        return list;
    }();
    return items;
}

std::optional<CatalogueEntry> findCatalogueEntry(const QString &name)
{
    if (name.isEmpty())
        return std::nullopt;
    const QByteArray key = name.toUtf8();
    for (const CatalogueRow &row : kRows) {
        if (key != row.name) // length-aware, so an embedded NUL cannot cut a name short
            continue;
        const QString lat = QString::fromLatin1(row.lat);
        const QString lon = QString::fromLatin1(row.lon);
        return CatalogueEntry{QString::fromUtf8(row.name),
                              QString::fromLatin1(row.indicator),
                              latitudeFromText(lat),
                              longitudeFromText(lon),
                              latitudeDisplayText(lat),
                              longitudeDisplayText(lon),
                              row.elevation,
                              QString::fromUtf8(row.area)};
    }
    return std::nullopt;
}

QString catalogueNameOf(const QString &indicator)
{
    const CatalogueRow *row = rowOf(indicator);
    return row ? QString::fromUtf8(row->name) : QString();
}

QString catalogueAreaOf(const QString &indicator)
{
    const CatalogueRow *row = rowOf(indicator);
    return row ? QString::fromUtf8(row->area) : QString();
}

QString latitudeDisplayText(const QString &text)
{
    return text.mid(0, 2) + QLatin1Char(' ') + text.mid(2, 2) + QLatin1Char(' ') + text.mid(4, 2) +
           QLatin1String(" N");
}

QString longitudeDisplayText(const QString &text)
{
    return text.mid(0, 3) + QLatin1Char(' ') + text.mid(3, 2) + QLatin1Char(' ') + text.mid(5, 2) +
           QLatin1String(" E");
}
