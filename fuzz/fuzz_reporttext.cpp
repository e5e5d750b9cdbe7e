// The pure path of one ReportText: a METAR and a TAF response laid out by ComposeReportText with
// arbitrary coordinate texts. Input: the METAR response, a "\" and another character, the
// latitude and longitude texts, the TAF response; the last bytes pick the settings and the
// lengths of the coordinate texts.
#include "FuzzRequire.h"
#include "report/ReportText.h"
#include "report/StationReport.h"
#include "sun/SunTimes.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

const QChar CR(u'\r');

QString latin1(const std::string &bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

bool isSunTime(const QString &text)
{
    if (text == QLatin1String("--:--"))
        return true;
    if (text.size() != 5 || text[2] != QLatin1Char(':'))
        return false;
    const int hours = text.left(2).toInt();
    const int minutes = text.mid(3).toInt();
    return text[0].isDigit() && text[1].isDigit() && text[3].isDigit() && text[4].isDigit() &&
           hours < 24 && minutes < 60;
}

QString tickerSunLine(const QString &lat, const QString &lon)
{
    return QStringLiteral("      SUNRISE ") + Calsunrise(lat, lon) + QStringLiteral("  SUNSET ") +
           Calsunset(lat, lon);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The ticker form reads this day; the text is made at noon of the same local day.
    static const QDate day(2026, 6, 21);
    static const SunClock::Override fixedDay(day);
    static const QDateTime now(day, QTime(12, 0));
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<uint8_t>();
    const auto offset = input.ConsumeIntegralInRange<int>(-15, 15);
    const QString metarFile = latin1(input.ConsumeRandomLengthString(70000));
    const QString lat = latin1(input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 8)));
    const QString lon = latin1(input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 8)));
    const QString tafFile = latin1(input.ConsumeRemainingBytesAsString());

    ReportTextOptions options;
    options.uselocal = flags & 1;
    options.getTAF = flags & 2;
    options.getSUNSET = flags & 4;
    options.timediff = QString::asprintf("%+d", offset);
    options.display.showCategory = flags & 8;
    options.display.markOld = flags & 16;
    options.display.oldMinutes = DisplayOptions::oldMinuteChoices[(flags >> 5) & 3];
    options.place = AirportCoordinates{lat, lon};
    // The ends of the offset's range stand for a source that did not answer.
    const FetchedReport metar{
        metarFile, offset == -15 ? ReportOrigin::None : ReportOrigin::FirstSource, false};
    const FetchedReport taf{tafFile, offset == 15 ? ReportOrigin::None : ReportOrigin::SecondSource,
                            false};
    const ComposedReport composed =
        ComposeReportText(QStringLiteral("RJTT"), metar, taf, options, now);
    const QString &text = composed.text;

    // The first line always names the airport and the product, whatever the server sent.
    const StationReport treated =
        metar.origin == ReportOrigin::None
            ? MissingStationReport(false)
            : TreatStationFile(metarFile, false, options.uselocal, options.timediff);
    require(text.startsWith(QStringLiteral("RJTT METAR ") + treated.reportTime));
    require(text.indexOf(CR) >= 11);
    if (options.uselocal && offset == 9 && metar.origin != ReportOrigin::None &&
        !metarFile.startsWith(QLatin1Char('<')))
        require(treated.reportTime.endsWith(QLatin1Char('I')));
    require(options.display.showCategory || composed.category == FlightCategory::Unknown);

    if (options.getSUNSET) {
        // Any text may be read without harm, and the text's sun line is the ticker form's.
        require(text.endsWith(QString(CR) + CR + tickerSunLine(lat, lon)));
        // Outside the catalogue's region (about 24-46 N, 122-154 E) the times are not defined,
        // so only texts inside it must give a clock time.
        const QString latIn = QString::asprintf("%02u%04u", 20 + unsigned(flags >> 3) % 31,
                                                unsigned(lat.size() * 613 + offset + 15) % 6000);
        const QString lonIn =
            QString::asprintf("%03u%04u", 120 + unsigned(lon.size() * 7 + flags) % 36,
                              unsigned(metarFile.size()) % 6000);
        const QString rise = Calsunrise(latIn, lonIn);
        const QString set = Calsunset(latIn, lonIn);
        if (!isSunTime(rise) || !isSunTime(set))
            std::fprintf(stderr, "lat \"%s\" lon \"%s\": %s %s\n", qPrintable(latIn),
                         qPrintable(lonIn), qPrintable(rise), qPrintable(set));
        require(isSunTime(rise) && isSunTime(set));
    }
    return 0;
}
