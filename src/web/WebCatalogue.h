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
    Fixed,   ///< the path as it stands
    Run,     ///< "HH" in the path is the run's hour, "00" or "12" UTC
    Airport, ///< one entry per target: "ICAO" in the path is the airport's indicator
};

struct JmaItem
{
    ChartItemKind kind; ///< Entry or Separator
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

    bool operator==(const ChartTarget &) const = default;
};

/// The caption of an airport's 飛行場時系列予報: "飛行場時系列予報 東京(羽田) (RJTT)".
QString jmaAirportCaption(const ChartTarget &target);
