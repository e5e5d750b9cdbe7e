// The fixed catalogues of the chart and camera windows, and how a document's address is formed.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QUrl>

/// Host addresses by source name, as stored in the table `host`.
using SourceHosts = QHash<QString, QString>;

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

/// A document on one of the sources: where it lives and whether its host is known.
struct DocumentAddress
{
    QString sourceName;   ///< the source's host name (store/Sources.h)
    QString host;         ///< without a trailing slash; empty when not configured
    QString path;         ///< base path and file name
    QString fallbackPath; ///< tried once when the server has no document at `path`; may be empty

    bool configured() const { return !host.isEmpty(); }
    /// Host followed by the path (only the path when the host is not configured).
    QString url() const { return host + path; }
    /// Host followed by the fallback path; empty when there is none.
    QString fallbackUrl() const { return fallbackPath.isEmpty() ? QString() : host + fallbackPath; }
    /// The same document on its source's address in `hosts`.
    DocumentAddress on(const SourceHosts &hosts) const;
};

DocumentAddress chartAddress(const SourceHosts &hosts, int source, const QString &path);
DocumentAddress cameraAddress(const SourceHosts &hosts, int source, const QString &path);

/// The address of the link "接続先を設定..." for the source `hostName`: a host that never
/// resolves, which the browser hands to the program instead of the network.
QUrl SourceLinkUrl(const QString &hostName);
/// The source named by such a link, or empty for any other address.
QString SourceOfLink(const QUrl &url);

/// The local page shown instead of a document whose source has no address.
QString notConfiguredPage(const DocumentAddress &address, const QString &title);

/// Why a document could not be loaded, as the browser engine tells it.
enum class LoadFailure {
    NoAnswer,     ///< timed out, or the connection dropped
    NameNotFound, ///< the host name does not resolve
    Refused,      ///< nobody listens there
    HttpStatus,   ///< the server answered with an error status (`code`)
    Certificate,  ///< the server's certificate was refused
    Other,        ///< anything else (`code` is the engine's)
};

/// The local page shown instead of a document that could not be loaded, in Japanese: what
/// happened and the address.
QString loadFailedPage(const QString &url, const QString &title, LoadFailure failure, int code);

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

/// What the captions of the agency's charts end with.
inline constexpr const char *jmaAttribution = "（出典：気象庁）";

/// A target airport as the menu "気象庁" lists it; the name is empty when the airport catalogue
/// does not know the indicator.
struct ChartTarget
{
    QString icao;
    QString name;

    bool operator==(const ChartTarget &) const = default;
};

/// The caption of an airport's 飛行場時系列予報: "飛行場時系列予報 東京(羽田) (RJTT)".
QString jmaAirportCaption(const ChartTarget &target);

/// The newest run of a chart published at 00 and 12 UTC at `utc`: a run is used from 4 hours
/// after its time, so 00 from 04:00, 12 from 16:00, before 04:00 the previous day's 12.
QDateTime jmaNewestRun(const QDateTime &utc);
/// The run before `run`, tried once when the server has no chart for `run`.
QDateTime jmaPreviousRun(const QDateTime &run);

/// The address of an entry of the menu "気象庁": the run's hour or the airport's indicator put
/// into its path, and the previous run as the fallback of a chart by run.
DocumentAddress jmaAddress(const SourceHosts &hosts, const JmaItem &item, const QDateTime &utcNow,
                           const QString &icao = {});
