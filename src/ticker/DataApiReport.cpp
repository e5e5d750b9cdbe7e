// Raw reports of the Data API turned into the report server's station files.
#include "ticker/DataApiReport.h"

#include "ticker/ReportAge.h"

#include <QRegularExpression>
#include <QStringList>
#include <optional>

namespace {

const QRegularExpression timeGroup(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2})Z$"));
const QRegularExpression indicator(QStringLiteral("^[A-Z]{4}$"));
const QRegularExpression changeGroup(QStringLiteral("^(TEMPO|BECMG|FM\\d{6})$"));

struct Report
{
    QDateTime time; ///< UTC
    QString lines;  ///< the station file's lines after the first, each ended by a line feed
    bool speci = false;
};

/// The time of a DDHHMMZ group: the latest such day not after `nowUtc`'s.
std::optional<QDateTime> timeOf(const QString &group, const QDateTime &nowUtc)
{
    const QRegularExpressionMatch m = timeGroup.match(group);
    if (!m.hasMatch())
        return std::nullopt;
    const int day = m.captured(1).toInt();
    const QTime time(m.captured(2).toInt(), m.captured(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    return DayOfMonthUtc(day, time, QDateTime(nowUtc.date(), QTime(23, 59, 59, 999), Qt::UTC));
}

/// The time of a report whose tokens start with its indicator and its time group.
std::optional<QDateTime> reportTime(const QStringList &tokens, const QDateTime &nowUtc)
{
    if (tokens.size() < 2 || !indicator.match(tokens[0]).hasMatch())
        return std::nullopt;
    return timeOf(tokens[1], nowUtc);
}

/// A METAR as the station file's one report line: "RJTT 071230Z ...".
std::optional<Report> metarOf(QStringList tokens, const QDateTime &nowUtc)
{
    const bool speci = !tokens.isEmpty() && tokens.first() == QLatin1String("SPECI");
    if (!tokens.isEmpty() && (tokens.first() == QLatin1String("METAR") || speci))
        tokens.removeFirst();
    const auto time = reportTime(tokens, nowUtc);
    if (!time)
        return std::nullopt;
    return Report{*time, tokens.join(QLatin1Char(' ')) + QLatin1Char('\n'), speci};
}

/// A TAF laid out as the report server does: a break before each change group, continuation
/// lines after six blanks, every line but the last ending in a blank; an amended TAF has "TAF"
/// on a line of its own.
std::optional<Report> tafOf(QStringList tokens, const QDateTime &nowUtc)
{
    if (!tokens.isEmpty() && tokens.first() == QLatin1String("TAF"))
        tokens.removeFirst();
    const bool amended = !tokens.isEmpty() && tokens.first() == QLatin1String("AMD");
    if (amended)
        tokens.removeFirst();
    const auto time = reportTime(tokens, nowUtc);
    if (!time)
        return std::nullopt;

    QStringList lines{amended ? QStringLiteral("      AMD") : QStringLiteral("TAF")};
    for (const QString &token : tokens) {
        if (changeGroup.match(token).hasMatch())
            lines.append(QStringLiteral("     ")); // six blanks once the token is added
        lines.last() += QLatin1Char(' ') + token;
    }
    QString text = amended ? QStringLiteral("TAF\n") : QString();
    text += lines.join(QStringLiteral(" \n")) + QLatin1Char('\n');
    return Report{*time, text};
}

} // namespace

QString DataApiPath(const QString &airport, bool isTaf)
{
    return QStringLiteral("/api/data/%1?ids=%2&format=raw")
        .arg(isTaf ? QStringLiteral("taf") : QStringLiteral("metar"), airport);
}

QString StationFileFromDataApi(const QString &answer, bool isTaf, const QDateTime &nowUtc,
                               bool *speci)
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
        const auto report = isTaf ? tafOf(tokens, nowUtc) : metarOf(tokens, nowUtc);
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
