// TreatStationFile over arbitrary bytes. The last two bytes choose the product, the local-time
// switch and the time difference; the rest is the response, one character per byte.
#include "FuzzRequire.h"
#include "report/StationReport.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const auto flags = input.ConsumeIntegral<uint8_t>();
    const auto offset = input.ConsumeIntegral<int8_t>();
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const QString response = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    const bool isTaf = flags & 1;
    const bool useLocal = flags & 2;
    // Signs and blanks as users type them, and now and then no number at all.
    static const char *const forms[] = {"%+d", "%d", " %d", "x%d"};
    const QString timediff = QString::asprintf(forms[(flags >> 2) & 3], int(offset) % 30);

    const StationReport report = TreatStationFile(response, isTaf, useLocal, timediff);

    // Whatever comes, the same input gives the same text (no uninitialised reads).
    const StationReport again = TreatStationFile(response, isTaf, useLocal, timediff);
    require(report.reportBody == again.reportBody && report.reportTime == again.reportTime);

    if (response.startsWith(QLatin1Char('<'))) {
        require(report.reportTime.isEmpty());
        require(report.reportBody == QLatin1String(isTaf ? noForecast : noObservation));
        return 0;
    }
    // The time is an hour of at least two digits, the minutes as found, then the zone letter.
    require(report.reportTime.endsWith(report.zoneLetter));
    require(report.reportTime.size() >= 2 + report.zoneLetter.size());
    require(report.reportTime.size() <= 8 + report.zoneLetter.size());
    if (!useLocal)
        require(report.zoneLetter == QLatin1String("Z"));
    else
        require(report.zoneLetter.size() <= 1);
    // Nothing is invented: the body is made of the response's characters and added blanks.
    for (const QChar c : report.reportBody)
        require(c == QLatin1Char(' ') || response.contains(c));
    return 0;
}
