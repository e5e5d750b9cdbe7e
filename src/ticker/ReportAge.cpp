// Report times read from the groups of a station file.
#include "ticker/ReportAge.h"

#include <QRegularExpression>
#include <QTimeZone>

std::optional<QDateTime> DayOfMonthUtc(int day, QTime time, const QDateTime &latest)
{
    for (int back = 0; back <= 2; ++back) {
        const QDate month = latest.date().addMonths(-back);
        const QDate date(month.year(), month.month(), day);
        if (!date.isValid())
            continue; // the 31st of a 30-day month
        const QDateTime at(date, time, Qt::UTC);
        if (at <= latest)
            return at;
    }
    return std::nullopt;
}

std::optional<QDateTime> ReportTimeUtc(QStringView report, const QDateTime &nowUtc)
{
    static const QRegularExpression group(
        QStringLiteral("(?:^|\\s)(\\d\\d)(\\d\\d)(\\d\\d)Z(?=\\s|$)"));
    const QRegularExpressionMatch match = group.match(report.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int day = match.capturedView(1).toInt();
    const QTime time(match.capturedView(2).toInt(), match.capturedView(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    // A clock a little behind the station's must not push the report a month back.
    return DayOfMonthUtc(day, time, nowUtc.addSecs(3600));
}

std::optional<QDateTime> StationFileTimeUtc(QStringView stationFile)
{
    const QStringView line = stationFile.left(16);
    QDateTime at = QDateTime::fromString(line.toString(), QStringLiteral("yyyy/MM/dd HH:mm"));
    if (!at.isValid())
        return std::nullopt;
    at.setTimeZone(QTimeZone::utc());
    return at;
}

std::optional<qint64> ReportAgeMinutes(QStringView stationFile, const QDateTime &nowUtc)
{
    const qsizetype lineEnd = stationFile.indexOf(QLatin1Char('\n'));
    const QStringView report = lineEnd < 0 ? QStringView() : stationFile.mid(lineEnd + 1);
    std::optional<QDateTime> at = ReportTimeUtc(report, nowUtc);
    if (!at)
        at = StationFileTimeUtc(stationFile);
    if (!at)
        return std::nullopt;
    return qMax<qint64>(0, at->secsTo(nowUtc) / 60);
}
