// A decoding written out: the JSON object for scripts, the lines of text for a terminal.
#include "report/DecodedForms.h"

#include "report/StationReport.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonValue optionalInt(const std::optional<int> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue optionalText(const QString &value)
{
    return value.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

QJsonValue momentJson(const std::optional<QDateTime> &at)
{
    return at ? QJsonValue(at->toUTC().toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

QJsonValue windJson(const std::optional<DecodedWind> &wind)
{
    if (!wind)
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("direction"), optionalInt(wind->direction)},
                       {QStringLiteral("variable"), wind->variable},
                       {QStringLiteral("speed"), optionalInt(wind->speed)},
                       {QStringLiteral("gust"), optionalInt(wind->gust)},
                       {QStringLiteral("unit"), wind->unit},
                       {QStringLiteral("from"), optionalInt(wind->from)},
                       {QStringLiteral("to"), optionalInt(wind->to)}};
}

QJsonValue visibilityJson(const std::optional<DecodedVisibility> &visibility)
{
    if (!visibility)
        return QJsonValue::Null;
    return QJsonObject{{QStringLiteral("metres"), optionalInt(visibility->metres)},
                       {QStringLiteral("cavok"), visibility->cavok}};
}

QJsonArray cloudsJson(const QList<DecodedCloud> &clouds)
{
    QJsonArray list;
    for (const DecodedCloud &cloud : clouds)
        list.append(QJsonObject{{QStringLiteral("amount"), optionalText(cloud.amount)},
                                {QStringLiteral("base_ft"), optionalInt(cloud.baseFt)},
                                {QStringLiteral("type"), optionalText(cloud.type)}});
    return list;
}

/// The fields a TAF's base and each change share.
void addForecast(QJsonObject &object, const DecodedConditions &conditions)
{
    object.insert(QStringLiteral("wind"), windJson(conditions.wind));
    object.insert(QStringLiteral("visibility"), visibilityJson(conditions.visibility));
    object.insert(QStringLiteral("weather"), QJsonArray::fromStringList(conditions.weather));
    object.insert(QStringLiteral("clouds"), cloudsJson(conditions.clouds));
    object.insert(QStringLiteral("vertical_visibility_ft"),
                  optionalInt(conditions.verticalVisibilityFt));
}

QJsonValue metarJson(const std::optional<DecodedMetar> &metar)
{
    if (!metar)
        return QJsonValue::Null;
    const DecodedConditions &c = metar->conditions;
    QJsonArray rvr;
    for (const DecodedRvr &r : c.rvr)
        rvr.append(QJsonObject{{QStringLiteral("runway"), r.runway},
                               {QStringLiteral("metres"), optionalInt(r.metres)},
                               {QStringLiteral("trend"), optionalText(r.trend)}});
    return QJsonObject{
        {QStringLiteral("raw"), metar->raw},
        {QStringLiteral("kind"), metar->kind},
        {QStringLiteral("time"), momentJson(metar->time)},
        {QStringLiteral("wind"), windJson(c.wind)},
        {QStringLiteral("visibility"), visibilityJson(c.visibility)},
        {QStringLiteral("rvr"), rvr},
        {QStringLiteral("weather"), QJsonArray::fromStringList(c.weather)},
        {QStringLiteral("recent"), QJsonArray::fromStringList(c.recent)},
        {QStringLiteral("clouds"), cloudsJson(c.clouds)},
        {QStringLiteral("vertical_visibility_ft"), optionalInt(c.verticalVisibilityFt)},
        {QStringLiteral("temperature"), optionalInt(metar->temperature)},
        {QStringLiteral("dewpoint"), optionalInt(metar->dewpoint)},
        {QStringLiteral("humidity"), optionalInt(metar->humidity)},
        {QStringLiteral("qnh_hpa"), optionalInt(metar->qnhHpa)},
        {QStringLiteral("trend"), QJsonArray::fromStringList(metar->trend)},
        {QStringLiteral("unknown"), QJsonArray::fromStringList(metar->unknown)}};
}

QJsonValue tafJson(const std::optional<DecodedTaf> &taf)
{
    if (!taf)
        return QJsonValue::Null;
    QJsonObject base;
    addForecast(base, taf->base);
    QJsonArray changes;
    for (const DecodedChange &change : taf->changes) {
        QJsonObject object{{QStringLiteral("kind"), change.kind},
                           {QStringLiteral("probability"), optionalInt(change.probability)},
                           {QStringLiteral("from"), momentJson(change.from)},
                           {QStringLiteral("to"), momentJson(change.to)}};
        addForecast(object, change.conditions);
        changes.append(object);
    }
    return QJsonObject{{QStringLiteral("raw"), taf->raw},
                       {QStringLiteral("time"), momentJson(taf->time)},
                       {QStringLiteral("valid_from"), momentJson(taf->validFrom)},
                       {QStringLiteral("valid_to"), momentJson(taf->validTo)},
                       {QStringLiteral("base"), base},
                       {QStringLiteral("changes"), changes},
                       {QStringLiteral("unknown"), QJsonArray::fromStringList(taf->unknown)}};
}

constexpr qsizetype meaningColumn = 22; // where the meanings start, after the indent

void appendGroups(QString &text, const QList<DecodedGroup> &groups)
{
    for (const DecodedGroup &group : groups) {
        // A change's groups stand under its words, a step in.
        const QString indent =
            group.change >= 0 && group.kind != GroupKind::Change && group.kind != GroupKind::Trend
                ? QStringLiteral("    ")
                : QStringLiteral("  ");
        QString written = group.text;
        written.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += indent + written.leftJustified(meaningColumn - indent.size() - 2) +
                QStringLiteral("  ") + group.meaning + QLatin1Char('\n');
    }
}

void appendRaw(QString &text, const QString &raw)
{
    for (const QString &line : raw.split(QLatin1Char('\n')))
        text += QStringLiteral("  ") + line.trimmed() + QLatin1Char('\n');
}

QString heading(const QString &kind, const std::optional<QDateTime> &time, bool utcFirst,
                const QDateTime &nowUtc)
{
    QString line = kind;
    if (time) {
        line += QStringLiteral("  ") + MomentText(*time, utcFirst);
        if (nowUtc.isValid())
            line += QStringLiteral("、") + AgeText(qMax<qint64>(0, time->secsTo(nowUtc) / 60));
    }
    return line;
}

} // namespace

QString AgeText(qint64 minutes)
{
    if (minutes < 60)
        return QStringLiteral("%1 分前").arg(minutes);
    if (minutes < 24 * 60)
        return QStringLiteral("%1 時間 %2 分前").arg(minutes / 60).arg(minutes % 60);
    return QStringLiteral("%1 日 %2 時間前").arg(minutes / (24 * 60)).arg(minutes / 60 % 24);
}

QString MetarHeading(const DecodedMetar &metar, bool utcFirst, const QDateTime &nowUtc)
{
    return heading(metar.kind + (metar.kind == QLatin1String("SPECI")
                                     ? QStringLiteral("（特別飛行場実況気象通報）")
                                     : QStringLiteral("（定時飛行場実況気象通報）")),
                   metar.time, utcFirst, nowUtc);
}

QString TafHeading(const DecodedTaf &taf, bool utcFirst, const QDateTime &nowUtc)
{
    return heading(QStringLiteral("TAF（飛行場予報）"), taf.time, utcFirst, nowUtc);
}

QJsonDocument DecodingJson(const ReportDecoding &decoding)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("station"), decoding.station},
                                     {QStringLiteral("metar"), metarJson(decoding.metar)},
                                     {QStringLiteral("taf"), tafJson(decoding.taf)}});
}

QString DecodingText(const ReportDecoding &decoding, const QDateTime &nowUtc)
{
    const bool utcFirst = decoding.options.utcFirst;
    QString text = decoding.station + QStringLiteral(" の解読\n\n");
    if (decoding.metar) {
        const DecodedMetar &metar = *decoding.metar;
        text += MetarHeading(metar, utcFirst, nowUtc) + QLatin1Char('\n');
        appendRaw(text, metar.raw);
        text += QLatin1Char('\n');
        appendGroups(text, metar.groups);
    } else {
        text += QLatin1String(noObservation) + QLatin1Char('\n');
    }
    text += QLatin1Char('\n');
    if (decoding.taf) {
        const DecodedTaf &taf = *decoding.taf;
        text += TafHeading(taf, utcFirst, nowUtc) + QLatin1Char('\n');
        appendRaw(text, taf.raw);
        text += QLatin1Char('\n');
        appendGroups(text, taf.groups);
    } else {
        text += QLatin1String(noForecast) + QLatin1Char('\n');
    }
    return text;
}
