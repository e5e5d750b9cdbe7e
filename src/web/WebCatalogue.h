// The fixed catalogues of the chart and camera windows, and how a document's address is formed.
#pragma once

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
    QString sourceName; ///< the source's host name (store/Sources.h)
    QString host;       ///< without a trailing slash; empty when not configured
    QString path;       ///< base path and file name

    bool configured() const { return !host.isEmpty(); }
    /// Host followed by the path (only the path when the host is not configured).
    QString url() const { return host + path; }
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
