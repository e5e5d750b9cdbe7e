// The run clock of the agency's charts.
#include "store/RunClock.h"

#include <QTimeZone>

QDateTime jmaNewestRun(const QDateTime &utc)
{
    constexpr int delayHours = 4; // a run is published some hours after its time
    const QDateTime published = utc.toUTC().addSecs(-delayHours * 3600);
    const int hour = published.time().hour() < 12 ? 0 : 12;
    return QDateTime(published.date(), QTime(hour, 0), QTimeZone::utc());
}

QDateTime jmaPreviousRun(const QDateTime &run)
{
    return run.toUTC().addSecs(-12 * 3600);
}

QList<QDateTime> jmaThreeHourlyRuns(const QDateTime &utc)
{
    constexpr int step = 3 * 3600;
    const QDateTime now = utc.toUTC();
    QDateTime run(now.date(), QTime(now.time().hour() / 3 * 3, 0), QTimeZone::utc());
    QList<QDateTime> runs;
    for (int i = 0; i < 4; ++i, run = run.addSecs(-step))
        runs.append(run);
    return runs;
}

QString pathOfRun(QString path, const QDateTime &run)
{
    return path.replace(QLatin1String("HH"), QStringLiteral("%1").arg(run.toUTC().time().hour(), 2,
                                                                      10, QLatin1Char('0')));
}
