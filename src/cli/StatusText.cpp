// The command line's forms of a built report.
#include "cli/StatusText.h"

#include "report/FlightCategory.h"
#include "report/StationReport.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QChar CR(u'\r');
const QString markSeparator = QStringLiteral("  "); // between the header's marks

} // namespace

QString PrintedText(const QString &reportText)
{
    // The ticker pads its lines with blanks that a terminal or a tooltip would only carry along.
    QStringList lines = QString(reportText).replace(CR, QLatin1Char('\n')).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1) == QLatin1Char(' '))
            --end;
        line.truncate(end);
    }
    return lines.join(QLatin1Char('\n'));
}

bool HasFixedText(const QString &reportText)
{
    const QStringList lines = reportText.split(CR);
    return lines.contains(QLatin1String(noObservation)) ||
           lines.contains(QLatin1String(noForecast));
}

QString AgeMark(const QString &reportText)
{
    // Taken from the header as the ticker words it, so both always say the same.
    const QString header = reportText.section(CR, 0, 0);
    const QString last = header.section(markSeparator, -1);
    return header.contains(markSeparator) && last.endsWith(QLatin1String(" OLD")) ? last
                                                                                  : QString();
}

QByteArray StatusLine(const QString &airport, const QString &reportText, const QString &metar)
{
    QString text = airport;
    QString kind = QStringLiteral("unknown");
    if (metar.isEmpty()) {
        text += QLatin1Char(' ') + QString(QLatin1String(noObservation)).trimmed();
    } else {
        if (const FlightCategory category = ClassifyMetar(metar);
            category != FlightCategory::Unknown) {
            text += QLatin1Char(' ') + FlightCategoryText(category);
            kind = FlightCategoryText(category).toLower();
        }
        if (const QString age = AgeMark(reportText); !age.isEmpty())
            text += QLatin1Char(' ') + age;
    }
    const QJsonObject line{{QStringLiteral("text"), text},
                           {QStringLiteral("tooltip"), PrintedText(reportText)},
                           {QStringLiteral("class"), kind},
                           {QStringLiteral("alt"), kind}};
    return QJsonDocument(line).toJson(QJsonDocument::Compact);
}
