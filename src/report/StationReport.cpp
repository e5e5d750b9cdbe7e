// Station-file treatment: fixed positions, time shift and spacing of the report text.
#include "report/StationReport.h"

#include "report/ReportAge.h"

#include <QRegularExpression>

namespace {

/// A decimal number at the start of `text` (leading blanks and one sign allowed), else 0.
qint16 leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint32 value = 0;
    for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i)
        value = qMin(value * 10 + (text[i].unicode() - '0'), 99999);
    return qint16(qBound(-32768, negative ? -value : value, 32767));
}

} // namespace

QString ZoneLetterFor(qint16 offset)
{
    // J is skipped: east from A, west from N, Z for UTC.
    static constexpr char east[] = "ABCDEFGHIKLM";
    static constexpr char west[] = "NOPQRSTUVWXY";
    if (offset == 0)
        return QStringLiteral("Z");
    if (offset >= 1 && offset <= 12)
        return QString(QLatin1Char(east[offset - 1]));
    if (offset <= -1 && offset >= -12)
        return QString(QLatin1Char(west[-offset - 1]));
    return {};
}

QString WithLineFeeds(const QString &served)
{
    QString file = served;
    file.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    file.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // The treatment takes the last character for the line feed it drops.
    if (!file.isEmpty() && !file.endsWith(QLatin1Char('\n')))
        file += QLatin1Char('\n');
    return file;
}

bool IsStationFileOf(QStringView file, QStringView airport, bool isTaf)
{
    static const QRegularExpression timeLine(
        QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d[ \\r]*\\n"));
    const QRegularExpressionMatch line = timeLine.match(file);
    if (!line.hasMatch() || !StationFileTimeUtc(file))
        return false;
    const QStringView report = file.mid(line.capturedEnd());
    // Reports are plain ASCII: any other byte means this is not one.
    for (const QChar c : report) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\n' && u != u'\r' && u != u'\t') || u > 0x7e)
            return false;
    }
    static const QStringList metarWords{QStringLiteral("METAR"), QStringLiteral("SPECI"),
                                        QStringLiteral("COR")};
    static const QStringList tafWords{QStringLiteral("TAF"), QStringLiteral("AMD"),
                                      QStringLiteral("COR")};
    const QStringList &words = isTaf ? tafWords : metarWords;
    qsizetype at = 0;
    while (at < report.size()) {
        while (at < report.size() && report[at].isSpace())
            ++at;
        qsizetype end = at;
        while (end < report.size() && !report[end].isSpace())
            ++end;
        const QStringView group = report.mid(at, end - at);
        if (group.isEmpty())
            break;
        if (!words.contains(group))
            return group.compare(airport, Qt::CaseInsensitive) == 0;
        at = end;
    }
    return false;
}

StationReport MissingStationReport(bool isTaf)
{
    return {QLatin1String(isTaf ? noForecast : noObservation), {}, {}};
}

StationReport TreatStationFile(const QString &response, bool isTaf, bool useLocal,
                               const QString &timediff)
{
    if (response.startsWith(QLatin1Char('<')))
        return MissingStationReport(isTaf);

    StationReport report;
    // Header "YYYY/MM/DD HH:MM": hour at positions 12-13, minutes at 15-16 (1-based).
    qint32 hour = leadingNumber(QStringView(response).mid(11, 2));
    const QString minutes = response.mid(14, 2);
    if (useLocal) {
        hour = qint16(hour + leadingNumber(timediff));
        if (hour >= 24)
            hour -= 24;
        if (hour < 0)
            hour += 24;
        report.zoneLetter = ZoneLetterFor(leadingNumber(timediff));
    } else {
        report.zoneLetter = QStringLiteral("Z");
    }
    const QString hourText =
        (hour >= 0 && hour < 10 ? QStringLiteral("0") : QString()) + QString::number(hour);
    report.reportTime = hourText + minutes + report.zoneLetter;

    // Drop the header, the indicator (and "TAF ") and the final line feed; keep the blank before
    // the report.
    QString body = response;
    const qsizetype cut = isTaf ? 26 : 22;
    if (body.size() > cut - 1)
        body = body.mid(cut - 1, body.size() - cut) + QStringLiteral("     ");

    body.replace(QStringLiteral("TRD"), QStringLiteral("TRD  "));
    body.replace(QStringLiteral("AMD"), QStringLiteral("AMD  "));
    body.replace(QStringLiteral("COR"), QStringLiteral("COR  "));
    body.replace(QStringLiteral("       "), QStringLiteral("     "));
    body.replace(QStringLiteral("      "), QStringLiteral("     "));
    body.replace(QStringLiteral("    "), QStringLiteral("     "));
    body.replace(QStringLiteral("BECMG"), QStringLiteral("BECMG  "));
    body.replace(QStringLiteral("TEMPO"), QStringLiteral("TEMPO  "));
    report.reportBody = body;
    return report;
}
