// The pure path of one ReportText: a METAR and a TAF response treated and laid out as the ticker
// does, and a sun line from arbitrary coordinate texts. Input: the METAR response, a "\" and
// another character, the latitude and longitude texts, the TAF response; the last bytes pick the
// settings and the lengths of the coordinate texts.
#include "FuzzRequire.h"
#include "sun/SunTimes.h"
#include "ticker/StationReport.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const SunClock::Override fixedDay(QDate(2026, 6, 21));
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<uint8_t>();
    const auto offset = input.ConsumeIntegralInRange<int>(-15, 15);
    const QString metarFile = latin1(input.ConsumeRandomLengthString(70000));
    const QString lat = latin1(input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 8)));
    const QString lon = latin1(input.ConsumeBytesAsString(input.ConsumeIntegralInRange(0, 8)));
    const QString tafFile = latin1(input.ConsumeRemainingBytesAsString());
    const bool useLocal = flags & 1, getTaf = flags & 2, getSun = flags & 4;
    const QString timediff = QString::asprintf("%+d", offset);
    const QString airport = QStringLiteral("RJTT");

    const StationReport metar = TreatStationFile(metarFile, false, useLocal, timediff);
    QString caption =
        airport + QStringLiteral(" METAR ") + metar.reportTime + CR + metar.reportBody;
    if (getTaf) {
        const StationReport taf = TreatStationFile(tafFile, true, useLocal, timediff);
        caption += QString(CR) + CR + airport + QStringLiteral(" TAF   ") + taf.reportTime + CR +
                   taf.reportBody;
    }
    if (getSun) {
        // Any text may be read without harm; outside the catalogue's region (about 24-46 N,
        // 122-154 E) the times are not defined, so only texts inside it must give a clock time.
        Calsunrise(lat, lon);
        Calsunset(lat, lon);
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
        caption += QString(CR) + CR + QStringLiteral("      SUNRISE ") + rise +
                   QStringLiteral("  SUNSET ") + set;
    }
    // The first line always names the airport and the product, whatever the server sent.
    require(caption.startsWith(QStringLiteral("RJTT METAR ")));
    require(caption.indexOf(CR) >= 11);
    if (useLocal && offset == 9 && !metarFile.startsWith(QLatin1Char('<')))
        require(metar.reportTime.endsWith(QLatin1Char('I')));
    return 0;
}
