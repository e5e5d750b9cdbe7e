// Report times read from the groups of a station file.
#include "report/ReportAge.h"

#include <QRegularExpression>
#include <QTimeZone>

std::optional<QDateTime> GroupTimeUtc(QStringView group, const QDateTime &nowUtc)
{
    static const QRegularExpression form(QStringLiteral("^(\\d\\d)(\\d\\d)(\\d\\d)Z$"));
    const QRegularExpressionMatch match = form.match(group);
    if (!match.hasMatch())
        return std::nullopt;
    const int day = match.capturedView(1).toInt();
    const QTime time(match.capturedView(2).toInt(), match.capturedView(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    // A clock a little behind the station's must not push the report a month back.
    const QDateTime latest = nowUtc.toUTC().addSecs(3600);
    for (int back = 0; back <= 2; ++back) {
        const QDate month = latest.date().addMonths(-back);
        const QDate date(month.year(), month.month(), day);
        if (!date.isValid())
            continue; // the 31st of a 30-day month
        const QDateTime at(date, time, QTimeZone::utc());
        if (at <= latest)
            return at;
    }
    return std::nullopt;
}

std::optional<QDateTime> ReportTimeUtc(QStringView report, const QDateTime &nowUtc)
{
    static const QRegularExpression group(QStringLiteral("(?:^|\\s)(\\d{6}Z)(?=\\s|$)"));
    const QRegularExpressionMatch match = group.match(report);
    if (!match.hasMatch())
        return std::nullopt;
    return GroupTimeUtc(match.capturedView(1), nowUtc);
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

std::optional<QDate> ReportDateOfDay(int day, const QDate &fileDay)
{
    for (int back = day > fileDay.day() ? 1 : 0; back <= 2; ++back) {
        const QDate month = fileDay.addMonths(-back);
        const QDate date(month.year(), month.month(), day);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

namespace {

std::optional<QDateTime> datedReportTime(QStringView stationFile, const QDateTime &nowUtc)
{
    const qsizetype lineEnd = stationFile.indexOf(QLatin1Char('\n'));
    const QStringView report = lineEnd < 0 ? QStringView() : stationFile.mid(lineEnd + 1);
    const std::optional<QDateTime> dated = StationFileTimeUtc(stationFile);
    if (!dated)
        return ReportTimeUtc(report, nowUtc);
    static const QRegularExpression group(
        QStringLiteral("(?:^|\\s)(\\d\\d)(\\d\\d)(\\d\\d)Z(?=\\s|$)"));
    const QRegularExpressionMatch match = group.match(report);
    const QTime time = match.hasMatch()
                           ? QTime(match.capturedView(2).toInt(), match.capturedView(3).toInt())
                           : QTime();
    if (!time.isValid())
        return dated;
    const std::optional<QDate> date = ReportDateOfDay(match.capturedView(1).toInt(), dated->date());
    if (!date)
        return dated;
    return QDateTime(*date, time, QTimeZone::utc());
}

} // namespace

std::optional<qint64> ReportAgeMinutes(QStringView stationFile, const QDateTime &nowUtc)
{
    const std::optional<QDateTime> at = datedReportTime(stationFile, nowUtc);
    if (!at)
        return std::nullopt;
    return qMax<qint64>(0, at->secsTo(nowUtc) / 60);
}
