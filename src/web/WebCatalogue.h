// The fixed catalogues of the chart and camera windows and of the menu "気象庁", as data.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

/// How an entry's title is built from the menu captions.
enum class TitleForm {
    Own,       ///< the entry's caption
    ParentOwn, ///< the submenu's caption, " - ", the entry's caption
    PrefixOwn, ///< the submenu's fixed prefix, then the entry's caption
};

enum class ChartItemKind { Entry, Separator, SubmenuBegin, SubmenuEnd };

/// One line of the "天気図" menu, in menu order. Captions and paths are UTF-8.
struct ChartItem
{
    ChartItemKind kind;
    const char *caption;  ///< entry or submenu caption
    const char *control;  ///< the item's object name
    int index;            ///< index within its control array, -1 when not in one
    int source;           ///< chart source 1 to 9
    const char *basePath; ///< fixed base path on the source
    const char *file;     ///< file name ("" when the base path is itself the page)
    TitleForm title;
    const char *prefix; ///< a submenu's title prefix (SubmenuBegin of a PrefixOwn submenu)
    int width;          ///< browser width in twips, 0 when maximised
    int height;         ///< browser height in twips, 0 when maximised

    bool maximised() const { return width == 0; }
};

/// The whole "天気図" menu.
struct ChartCatalogue
{
    const ChartItem *items;
    int count;
};
ChartCatalogue chartCatalogue();

/// The opening document, chosen by the local hour: before 12 the day, from 12 the night image.
struct OpeningChart
{
    const char *caption;
    const char *file;
};
OpeningChart openingChart(int hour);
inline constexpr int chartOpeningSource = 2;
inline constexpr const char *chartOpeningBasePath = "/imagedata/tubo/";
inline constexpr int chartOpeningWidth = 9600;
inline constexpr int chartOpeningHeight = 7300;

/// One camera of the camera window's menu bar, in menu order.
struct CameraItem
{
    const char *caption;
    const char *control;
    int source; ///< camera source 1 to 6
    const char *path;
    int windowHeight; ///< outer window height in twips
};

struct CameraCatalogue
{
    const CameraItem *items;
    int count;
};
CameraCatalogue cameraCatalogue();

/// A chart of the Japan Meteorological Agency's menu "気象庁", in menu order.
enum class JmaFile {
    Fixed,       ///< the path as it stands
    Run,         ///< "HH" in the path is the run's hour, "00" or "12" UTC
    ThreeHourly, ///< "HH" in the path is the newest issue's hour, "00" to "21" UTC
    Airport,     ///< one entry per target: "ICAO" in the path is the airport's indicator
    Area,        ///< one entry per low-level area: "AREA" in the path is the area's code
    Briefing,    ///< the briefing page of the shown airport, made here from the entries above
};

struct JmaItem
{
    ChartItemKind kind; ///< Entry, Separator, SubmenuBegin or SubmenuEnd
    const char *caption;
    const char *control;
    const char *source; ///< the host's name (store/Sources.h)
    const char *path;
    JmaFile file;

    /// PDF charts open maximised; images at their natural size.
    bool maximised() const { return QByteArray(path).endsWith(".pdf"); }
};

struct JmaCatalogue
{
    const JmaItem *items;
    int count;
};
JmaCatalogue jmaCatalogue();

/// One of the agency's areas of its low-level charts (下層悪天予想図), north to south.
struct LowLevelArea
{
    const char *code; ///< in the chart's file name: "fbtk"
    const char *name; ///< as the airport catalogue names the area: "東日本"
};

struct LowLevelAreas
{
    const LowLevelArea *items;
    int count;
};
LowLevelAreas lowLevelAreas();
/// The code of the area the catalogue calls `name`, or empty.
QString lowLevelAreaCode(const QString &name);

/// The entries of the briefing page: 飛行場時系列予報 Part 1 and Part 2, the area's 時系列, the
/// 国内悪天予想図 and the newest FXJP106, in the page's order.
struct BriefingCharts
{
    const JmaItem *items[5];
};
BriefingCharts briefingCharts();

/// The agency's surface analysis (ASAS): the chart window opens on it when its own opening entry
/// has no address.
const JmaItem &jmaSurfaceAnalysis();

/// What the captions of the agency's charts end with.
inline constexpr const char *jmaAttribution = "（出典：気象庁）";

/// A target airport as the menu "気象庁" lists it; the name is empty when the airport catalogue
/// does not know the indicator.
struct ChartTarget
{
    QString icao;
    QString name;
    bool shown = false; ///< the airport the ticker shows now
    QString area{};     ///< its low-level area as the catalogue names it ("東日本"), or empty
    QString briefing{}; ///< the shown airport's reports read out, for the briefing page

    bool operator==(const ChartTarget &) const = default;
};

/// The issue a chart's path names by its hour: "…/fxjp106_06.png" gives "06 UTC 発表".
QString jmaIssueText(const QString &path);

/// An airport as captions name it: "東京(羽田) (RJTT)", or the indicator alone.
QString jmaAirportLabel(const ChartTarget &target);
/// The caption of an airport's entry: "飛行場時系列予報 東京(羽田) (RJTT)".
QString jmaAirportCaption(const ChartTarget &target, const JmaItem &item);
