// The last report and category seen of each airport, and the notice a new one deserves.
#include "report/CategoryWatch.h"

std::optional<CategoryNotice> CategoryWatch::observe(const QString &airport, const QString &report,
                                                     bool isSpeci)
{
    const FlightCategory category = ClassifyMetar(report);
    // "NO OBSERVATION" after a failed fetch: the report before it is still the last one.
    if (category == FlightCategory::Unknown && !isSpeci)
        return std::nullopt;
    const QString text = report.simplified();
    const auto found = m_seen.find(airport);
    if (found == m_seen.end()) {
        m_seen.insert(airport, {text, category});
        return std::nullopt;
    }
    // The same report comes again at every refetch until the next one is out.
    if (found->report == text)
        return std::nullopt;
    const FlightCategory before = found->category;
    found->report = text;
    if (category != FlightCategory::Unknown)
        found->category = category;

    const QString body = report.trimmed();
    if (category != FlightCategory::Unknown && before != FlightCategory::Unknown &&
        category < before)
        return CategoryNotice{
            QStringLiteral("%1 %2 → %3")
                .arg(airport, FlightCategoryText(before), FlightCategoryText(category)),
            body};
    if (!isSpeci)
        return std::nullopt;
    QString title = airport + QStringLiteral(" SPECI");
    if (category != FlightCategory::Unknown)
        title += QLatin1Char(' ') + FlightCategoryText(category);
    return CategoryNotice{title, body};
}
