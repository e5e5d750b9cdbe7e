// Raw reports of the Data API turned into the report server's station files.
#include "report/DataApiReport.h"

#include "report/ReportAge.h"

#include <QRegularExpression>
#include <QStringList>
#include <optional>

namespace {

const QRegularExpression changeGroup(QStringLiteral("^(TEMPO|BECMG|FM\\d{6})$"));

struct Report
{
    QDateTime time; ///< UTC
    QString lines;  ///< the station file's lines after the first, each ended by a line feed
    bool speci = false;
};

/// Takes `word` off the front of `tokens`; whether it was there.
bool takeFirst(QStringList &tokens, QLatin1String word)
{
    if (tokens.isEmpty() || tokens.first() != word)
        return false;
    tokens.removeFirst();
    return true;
}

/// The time of a report of `airport` whose tokens start with its indicator and its time group.
std::optional<QDateTime> reportTime(const QStringList &tokens, const QString &airport,
                                    const QDateTime &nowUtc)
{
    if (tokens.size() < 2 || tokens[0].compare(airport, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return GroupTimeUtc(tokens[1], nowUtc);
}

/// A METAR as the station file's one report line: "RJTT 071230Z ...". A correction keeps its
/// COR after the time group, where the report server's files have it, so that the station and
/// the time stay in their places.
std::optional<Report> metarOf(QStringList tokens, const QString &airport, const QDateTime &nowUtc)
{
    const bool speci = takeFirst(tokens, QLatin1String("SPECI"));
    if (!speci)
        takeFirst(tokens, QLatin1String("METAR"));
    const bool corrected = takeFirst(tokens, QLatin1String("COR"));
    const auto time = reportTime(tokens, airport, nowUtc);
    if (!time)
        return std::nullopt;
    if (corrected && tokens.value(2) != QLatin1String("COR"))
        tokens.insert(2, QStringLiteral("COR"));
    return Report{*time, tokens.join(QLatin1Char(' ')) + QLatin1Char('\n'), speci};
}

/// A TAF laid out as the report server does: a break before each change group, continuation
/// lines after six blanks, every line but the last ending in a blank; an amended or corrected
/// TAF has "TAF" on a line of its own and its AMD / COR before the station.
std::optional<Report> tafOf(QStringList tokens, const QString &airport, const QDateTime &nowUtc)
{
    takeFirst(tokens, QLatin1String("TAF"));
    QStringList marks;
    while (!tokens.isEmpty() &&
           (tokens.first() == QLatin1String("AMD") || tokens.first() == QLatin1String("COR")))
        marks.append(tokens.takeFirst());
    const auto time = reportTime(tokens, airport, nowUtc);
    if (!time)
        return std::nullopt;

    const bool marked = !marks.isEmpty();
    QStringList lines{marked ? QStringLiteral("      ") + marks.join(QLatin1Char(' '))
                             : QStringLiteral("TAF")};
    for (const QString &token : tokens) {
        if (changeGroup.match(token).hasMatch())
            lines.append(QStringLiteral("     ")); // six blanks once the token is added
        lines.last() += QLatin1Char(' ') + token;
    }
    QString text = marked ? QStringLiteral("TAF\n") : QString();
    text += lines.join(QStringLiteral(" \n")) + QLatin1Char('\n');
    return Report{*time, text};
}

} // namespace

QString StationFileFromDataApi(const QString &answer, const QString &airport, bool isTaf,
                               const QDateTime &nowUtc, bool *speci)
{
    // One report a line, or for a TAF a report from each "TAF" on, its other lines indented.
    QList<QStringList> reports;
    const QString text = QString(answer).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        QStringList tokens = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (tokens.isEmpty())
            continue;
        const bool starts = isTaf ? tokens.first() == QLatin1String("TAF") || reports.isEmpty()
                                  : !line.front().isSpace() || reports.isEmpty();
        if (starts)
            reports.append(QStringList());
        reports.last() += tokens;
    }

    std::optional<Report> newest;
    for (QStringList tokens : reports) {
        if (tokens.last().endsWith(QLatin1Char('='))) {
            tokens.last().chop(1);
            if (tokens.last().isEmpty())
                tokens.removeLast();
        }
        const auto report =
            isTaf ? tafOf(tokens, airport, nowUtc) : metarOf(tokens, airport, nowUtc);
        if (report && (!newest || report->time > newest->time))
            newest = report;
    }
    if (speci)
        *speci = newest && newest->speci;
    if (!newest)
        return {};
    return newest->time.toString(QStringLiteral("yyyy/MM/dd HH:mm")) + QLatin1Char('\n') +
           newest->lines;
}
