// The forms of a decoding that the command line writes and scripts read (pure).
#pragma once

#include "report/ReportDecode.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QString>

/// The decoding as one JSON object: {"station", "metar", "taf"}, a report that did not come
/// null, a value the report does not give null, times as full UTC moments.
QJsonDocument DecodingJson(const ReportDecoding &decoding);

/// The decoding as lines of text: per report its kind and time (with its age at `nowUtc` when
/// valid), the report as received, then one line per group: the group as written and its
/// meaning. A report that did not come is the ticker's fixed text.
QString DecodingText(const ReportDecoding &decoding, const QDateTime &nowUtc);

/// A report's heading line: its kind in words, its time in JST and UTC and its age at `nowUtc`
/// (when valid), e.g. "METAR（定時飛行場実況気象通報）  31日 18:00 JST（31日 09:00 UTC）、35 分前".
QString MetarHeading(const DecodedMetar &metar, bool utcFirst, const QDateTime &nowUtc);
QString TafHeading(const DecodedTaf &taf, bool utcFirst, const QDateTime &nowUtc);

/// "35 分前", "2 時間 5 分前", "3 日 4 時間前".
QString AgeText(qint64 minutes);
