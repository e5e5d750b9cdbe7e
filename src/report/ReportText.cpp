// The ReportText laid out from fetched station files, options and a given moment.
#include "report/ReportText.h"

#include "report/ReportAge.h"
#include "report/StationReport.h"
#include "sun/SunTimes.h"

namespace {

const QChar CR(u'\r');

StationReport treat(const FetchedReport &fetched, bool isTaf, const ReportTextOptions &options)
{
    // A failed fetch shows the fixed message: an older report must never stand under this
    // airport's name.
    if (fetched.origin == ReportOrigin::None)
        return MissingStationReport(isTaf);
    return TreatStationFile(fetched.stationFile, isTaf, options.uselocal, options.timediff);
}

/// An age as a person reads it: minutes up to 179, hours up to 47, then days.
QString ageText(qint64 minutes)
{
    if (minutes < 180)
        return QStringLiteral("%1 MIN OLD").arg(minutes);
    if (minutes < 48 * 60)
        return QStringLiteral("%1 HR OLD").arg(minutes / 60);
    return QStringLiteral("%1 DAYS OLD").arg(minutes / (24 * 60));
}

/// What the display options add after the METAR's time, and the category they show.
QString metarMarks(const FetchedReport &fetched, const StationReport &metar,
                   const DisplayOptions &display, const QDateTime &nowUtc, FlightCategory &category)
{
    category = FlightCategory::Unknown;
    if (fetched.origin == ReportOrigin::None || fetched.stationFile.isEmpty() ||
        metar.reportTime.isEmpty())
        return {};
    QString marks;
    if (display.showCategory) {
        category = ClassifyMetar(ReportLines(fetched.stationFile));
        if (category != FlightCategory::Unknown)
            marks += QStringLiteral("  ") + FlightCategoryText(category);
    }
    if (display.markOld) {
        const auto age = ReportAgeMinutes(fetched.stationFile, nowUtc);
        if (age && *age > display.oldMinutes)
            marks += QStringLiteral("  ") + ageText(*age);
    }
    return marks;
}

/// The table form's "HHMM" / "----" in the ticker's "HH:MM" / "--:--"; the minutes are always
/// two digits, the hours may be more far outside the catalogue's region.
QString tickerTime(const QString &tableTime)
{
    if (tableTime == QLatin1String("----"))
        return QStringLiteral("--:--");
    QString text = tableTime;
    text.insert(text.size() - 2, QLatin1Char(':'));
    return text;
}

QString sunLine(const AirportCoordinates &place, const QDate &today)
{
    // The date-taking form with the ticker form's reading of the coordinate texts.
    const auto year = qint16(today.year());
    const auto month = qint16(today.month());
    const auto day = qint16(today.day());
    const float lat = latitudeFromText(place.lat);
    const float lon = longitudeFromText(place.lon);
    return QStringLiteral("      SUNRISE ") + tickerTime(Calsunrise(year, month, day, lat, lon)) +
           QStringLiteral("  SUNSET ") + tickerTime(Calsunset(year, month, day, lat, lon));
}

} // namespace

QString ReportLines(const QString &stationFile)
{
    return stationFile.mid(stationFile.indexOf(QLatin1Char('\n')) + 1);
}

ComposedReport ComposeReportText(const QString &airport, const FetchedReport &metar,
                                 const FetchedReport &taf, const ReportTextOptions &options,
                                 const QDateTime &now)
{
    ComposedReport composed;
    const StationReport metarReport = treat(metar, false, options);
    const QString marks =
        metarMarks(metar, metarReport, options.display, now.toUTC(), composed.category);
    // A report its source marks SPECI is headed so, like the notice it gets.
    const bool speci = metar.origin != ReportOrigin::None && metar.speci;
    composed.text = airport + QLatin1String(speci ? " SPECI " : " METAR ") +
                    metarReport.reportTime + marks + CR + metarReport.reportBody;
    if (options.getTAF) {
        const StationReport tafReport = treat(taf, true, options);
        composed.text += QString(CR) + CR + airport + QStringLiteral(" TAF   ") +
                         tafReport.reportTime + CR + tafReport.reportBody;
    }
    if (options.getSUNSET && options.place)
        composed.text += QString(CR) + CR + sunLine(*options.place, now.toLocalTime().date());
    return composed;
}
