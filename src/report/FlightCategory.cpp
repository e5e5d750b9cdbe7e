// Ceiling and visibility read from the groups of a METAR, and their category.
#include "report/FlightCategory.h"

#include <QVarLengthArray>
#include <algorithm>
#include <optional>

namespace {

constexpr double metresPerMile = 1609.344;

bool allDigits(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

/// "1/2", "10", "3": a number of miles; none when it is not one.
std::optional<double> milesNumber(QStringView text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return allDigits(text) ? std::optional<double>(text.toInt()) : std::nullopt;
    const QStringView numerator = text.left(slash);
    const QStringView denominator = text.mid(slash + 1);
    if (!allDigits(numerator) || !allDigits(denominator) || denominator.toInt() == 0)
        return std::nullopt;
    return double(numerator.toInt()) / denominator.toInt();
}

/// The visibility of one group in statute miles; `next` is the group after it (for "1 1/2SM").
std::optional<double> visibilityOf(QStringView group, QStringView next, bool *pair)
{
    *pair = false;
    if (group.size() >= 4 && allDigits(group.left(4)) &&
        (group.size() == 4 || group.mid(4) == QLatin1String("NDV")))
        return group.left(4).toInt() / metresPerMile; // 9999 stands for 10 km or more
    if (group.size() == 1 && group[0].isDigit() && next.endsWith(QLatin1String("SM")) &&
        next.contains(QLatin1Char('/'))) {
        // "1 1/2SM": a whole number, then its fraction.
        if (const auto fraction = milesNumber(next.chopped(2))) {
            *pair = true;
            return group.toInt() + *fraction;
        }
    }
    if (!group.endsWith(QLatin1String("SM")))
        return std::nullopt;
    QStringView number = group.chopped(2);
    if (number.startsWith(QLatin1Char('P')) || number.startsWith(QLatin1Char('M')))
        number = number.mid(1);
    return milesNumber(number);
}

/// A sky group whose amount is not reported: "//////", "///CB", "///015", "/////////".
bool isUnreportedLayer(QStringView group)
{
    if (!group.startsWith(QLatin1String("///")))
        return false;
    QStringView rest = group.mid(3);
    if (rest.startsWith(QLatin1String("///")) || (rest.size() >= 3 && allDigits(rest.left(3))))
        rest = rest.mid(3);
    return rest.isEmpty() || rest == QLatin1String("CB") || rest == QLatin1String("TCU") ||
           rest == QLatin1String("///");
}

FlightCategory byCeiling(int feet)
{
    return feet < 500     ? FlightCategory::LIFR
           : feet < 1000  ? FlightCategory::IFR
           : feet <= 3000 ? FlightCategory::MVFR
                          : FlightCategory::VFR;
}

FlightCategory byVisibility(double miles)
{
    return miles < 1    ? FlightCategory::LIFR
           : miles < 3  ? FlightCategory::IFR
           : miles <= 5 ? FlightCategory::MVFR
                        : FlightCategory::VFR;
}

} // namespace

FlightCategory ClassifyMetar(const QString &report)
{
    // The groups between any kind of blank, without copying them.
    QVarLengthArray<QStringView, 48> groups;
    const QStringView text(report);
    qsizetype start = -1;
    for (qsizetype k = 0; k <= text.size(); ++k) {
        if (k < text.size() && !text[k].isSpace()) {
            if (start < 0)
                start = k;
        } else if (start >= 0) {
            groups.append(text.mid(start, k - start));
            start = -1;
        }
    }
    std::optional<double> visibility;
    std::optional<int> ceiling;  // feet
    bool skyKnown = false;       // some sky group was read: no BKN / OVC / VV means none
    bool ceilingUnknown = false; // the lowest BKN / OVC / VV layer has no height
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView group = groups[i];
        if (group == QLatin1String("RMK") || group == QLatin1String("NOSIG") ||
            group == QLatin1String("BECMG") || group == QLatin1String("TEMPO"))
            break;
        if (group == QLatin1String("CAVOK")) {
            visibility = visibility.value_or(10000 / metresPerMile);
            skyKnown = true;
            continue;
        }
        if (group == QLatin1String("NSC") || group == QLatin1String("SKC") ||
            group == QLatin1String("CLR") || group == QLatin1String("NCD")) {
            skyKnown = true;
            continue;
        }
        if (isUnreportedLayer(group)) {
            // "//////", "///CB": a layer the station could not judge may be the ceiling.
            if (!ceiling)
                ceilingUnknown = true;
            continue;
        }
        const bool thin =
            group.startsWith(QLatin1String("FEW")) || group.startsWith(QLatin1String("SCT"));
        const bool solid =
            group.startsWith(QLatin1String("BKN")) || group.startsWith(QLatin1String("OVC"));
        const bool vertical = group.startsWith(QLatin1String("VV"));
        if (thin || solid || vertical) {
            const QStringView height = group.mid(vertical ? 2 : 3, 3);
            if (height.size() == 3 && allDigits(height)) {
                skyKnown = true;
                // Layers come from the ground up: above one of unknown height, no ceiling is
                // known.
                if (!thin && !ceilingUnknown)
                    ceiling =
                        std::min(ceiling.value_or(height.toInt() * 100), height.toInt() * 100);
            } else if (height == QLatin1String("///")) {
                skyKnown = true; // a thin layer of unknown height is still no ceiling
                if (!thin && !ceiling)
                    ceilingUnknown = true;
            }
            continue;
        }
        // The station, the time and the wind come first, the prevailing visibility after them;
        // a later visibility (a sector's minimum) does not count.
        if (visibility || i < 2)
            continue;
        bool pair = false;
        if (const auto v =
                visibilityOf(group, i + 1 < groups.size() ? groups[i + 1] : QStringView(), &pair)) {
            visibility = v;
            i += pair ? 1 : 0;
        }
    }
    // A sky not reported leaves the ceiling unknown, a false VFR being the dangerous mistake.
    std::optional<FlightCategory> byCeilingPart;
    if (ceiling)
        byCeilingPart = byCeiling(*ceiling);
    else if (skyKnown && !ceilingUnknown)
        byCeilingPart = FlightCategory::VFR; // no ceiling at all
    std::optional<FlightCategory> byVisibilityPart;
    if (visibility)
        byVisibilityPart = byVisibility(*visibility);
    if (byCeilingPart && byVisibilityPart)
        return std::min(*byCeilingPart, *byVisibilityPart);
    // One part unknown: only a known part that alone makes it LIFR gives a category.
    const auto known = byCeilingPart ? byCeilingPart : byVisibilityPart;
    return known == FlightCategory::LIFR ? FlightCategory::LIFR : FlightCategory::Unknown;
}

QString FlightCategoryText(FlightCategory category)
{
    switch (category) {
    case FlightCategory::VFR:
        return QStringLiteral("VFR");
    case FlightCategory::MVFR:
        return QStringLiteral("MVFR");
    case FlightCategory::IFR:
        return QStringLiteral("IFR");
    case FlightCategory::LIFR:
        return QStringLiteral("LIFR");
    case FlightCategory::Unknown:
        break;
    }
    return {};
}
