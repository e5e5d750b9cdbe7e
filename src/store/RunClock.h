// The runs of the agency's charts: published at 00 and 12 UTC, out some hours later.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

/// The newest run of a chart published at 00 and 12 UTC at `utc`: a run is used from 4 hours
/// after its time, so 00 from 04:00, 12 from 16:00, before 04:00 the previous day's 12.
QDateTime jmaNewestRun(const QDateTime &utc);
/// The run before `run`, tried once when the server has no chart for `run`.
QDateTime jmaPreviousRun(const QDateTime &run);
/// The charts issued every 3 hours at `utc`: the newest time not in the future (00, 03, … 21
/// UTC) first, then the three before it, asked in turn while the server has none.
QList<QDateTime> jmaThreeHourlyRuns(const QDateTime &utc);
/// `path` with its "HH" replaced by the hour of `run` ("00" or "12").
QString pathOfRun(QString path, const QDateTime &run);
