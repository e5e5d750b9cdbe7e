// The outside sources the program reads from: one table of their names, defaults and labels.
#pragma once

#include <QDateTime>
#include <QString>
#include <span>

/// Names of the sources that code reads directly.
namespace SourceName {
inline constexpr char report[] = "report";
inline constexpr char report2[] = "report2";
inline constexpr char home[] = "home";
inline constexpr char programPage[] = "programpage";
inline constexpr char jma[] = "jma";
inline constexpr char jmaBosai[] = "jmabosai";
} // namespace SourceName

/// What "確認" fetches to check a source.
enum class FirstDocument {
    StationFile,  ///< the METAR station file of the first target
    DataApi,      ///< the Data API's reports of the first target
    NetworkCheck, ///< "/ident.dat"
    Itself,       ///< the address itself
    Chart,        ///< the first catalogue entry of its chart source
    Camera,       ///< the first camera of its camera source
    Jma,          ///< the first chart of the menu "気象庁" on its host, of the newest run
};

/// One `host` row.
struct Source
{
    const char *name;
    const char *defaultAddress; ///< as a new installation has it; "" when not set
    const char *label;          ///< UTF-8, as the tab "接続先" shows it
    FirstDocument firstDocument;
    int number; ///< the catalogue's source number of a chart or camera source, else 0
    /// Of a chart, camera or agency source: the path of its first document in its menu; "HH"
    /// stands for the hour of the newest run. Empty for the others, whose rule is their kind's.
    const char *firstPath = "";
};

/// What "確認" fetches to check a source: the address and, for a chart by run, the run before it.
struct CheckDocument
{
    QString url;
    QString fallbackUrl; ///< empty when there is none
};

/// The document that checks `source` at `host` (its address as typed): `firstTarget`'s station
/// file or reports for the report sources, the newest run at `utcNow` for a chart by run.
CheckDocument FirstDocumentOf(const Source &source, const QString &host, const QString &firstTarget,
                              const QDateTime &utcNow);

/// Every source in the order the user sees them.
std::span<const Source> AllSources();
/// The source named `name`, or null.
const Source *FindSource(const QString &name);
/// The host name of chart source `number` (1-9) or camera source `number` (1-6); empty if none.
QString ChartSourceName(int number);
QString CameraSourceName(int number);
