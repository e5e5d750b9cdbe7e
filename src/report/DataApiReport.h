// Answers of the second report source (a Data API of raw reports) in the station-file form.
#pragma once

#include <QDateTime>
#include <QString>

/// The newest report of `airport` in a Data API answer as the report server's station file: a
/// first line "YYYY/MM/DD HH:MM" of the report's own time (dated by GroupTimeUtc at `nowUtc`),
/// then the report laid out as that server lays it out, then a line feed. Reports of other
/// stations are passed over. Empty when the answer holds no report of `airport`. `*speci`, when
/// given, tells whether the report chosen came marked SPECI.
QString StationFileFromDataApi(const QString &answer, const QString &airport, bool isTaf,
                               const QDateTime &nowUtc, bool *speci = nullptr);
