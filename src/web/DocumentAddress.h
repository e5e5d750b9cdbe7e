// Where a document of the catalogues lives: its source's address and its path.
#pragma once

#include "store/RunClock.h"
#include "web/WebCatalogue.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

/// Host addresses by source name, as stored in the table `host`.
using SourceHosts = QHash<QString, QString>;

/// A document on one of the sources: where it lives and whether its host is known.
struct DocumentAddress
{
    QString sourceName; ///< the source's host name (store/Sources.h)
    QString host;       ///< without a trailing slash; empty when not configured
    QString path;       ///< base path and file name
    /// Tried in turn while the server has no document (a chart not out yet: the runs before).
    QStringList fallbackPaths;

    bool configured() const { return !host.isEmpty(); }
    /// Host followed by the path (only the path when the host is not configured).
    QString url() const { return host + path; }
    /// Host followed by the first fallback path; empty when there is none.
    QString fallbackUrl() const
    {
        return fallbackPaths.isEmpty() ? QString() : host + fallbackPaths.first();
    }
    /// The document's address, then its fallbacks', in the order they are asked.
    QStringList urls() const
    {
        QStringList all{url()};
        for (const QString &fallback : fallbackPaths)
            all.append(host + fallback);
        return all;
    }
    /// The same document on its source's address in `hosts`.
    DocumentAddress on(const SourceHosts &hosts) const;
};

DocumentAddress chartAddress(const SourceHosts &hosts, int source, const QString &path);
DocumentAddress cameraAddress(const SourceHosts &hosts, int source, const QString &path);

/// The address of an entry of the menu "気象庁": the run's hour, the airport's indicator or the
/// area's code put into its path, and the runs before as the fallbacks of a chart by run.
DocumentAddress jmaAddress(const SourceHosts &hosts, const JmaItem &item, const QDateTime &utcNow,
                           const QString &icao = {}, const QString &areaCode = {});

/// The address of the link "接続先を設定..." for the source `hostName`: a host that never
/// resolves, which the browser hands to the program instead of the network.
QUrl SourceLinkUrl(const QString &hostName);
/// The source named by such a link, or empty for any other address.
QString SourceOfLink(const QUrl &url);
