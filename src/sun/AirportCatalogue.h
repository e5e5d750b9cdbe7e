// The fixed catalogue of 186 places the annual sun-times table offers, compiled into the program.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// What the table window needs of one catalogue entry once it has been chosen by name.
struct CatalogueEntry
{
    QString name;
    QString indicator; ///< empty for airfields and heliports
    float latitude = 0;
    float longitude = 0;
    QString latitudeText;  ///< "43 40 15 N"
    QString longitudeText; ///< "142 26 51 E"
    float elevation = 0;
    /// The agency's area of its low-level charts: 北海道, 東北, 東日本, 西日本, 奄美 or 沖縄.
    QString area;
};

/// Entry names in catalogue order.
QStringList catalogueNames();
/// The window's list: names with a "---" separator after the aerodromes and after the airfields.
QStringList catalogueListItems();
/// The entry whose name equals the text exactly; separators and empty text find nothing.
std::optional<CatalogueEntry> findCatalogueEntry(const QString &name);

/// The name of the first entry with the location indicator `indicator` (case ignored), or empty.
QString catalogueNameOf(const QString &indicator);

/// The area of the first entry with the location indicator `indicator`, or empty.
QString catalogueAreaOf(const QString &indicator);

/// "434015" as "43 40 15 N".
QString latitudeDisplayText(const QString &text);
/// "1422651" as "142 26 51 E".
QString longitudeDisplayText(const QString &text);
