// A loopback HTTP server standing in for the chart and camera sources: images, PDFs and a page.
#pragma once

#include "web/DocumentAddress.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

/// Answers every path with a fixture chosen by its ending (".pdf" a PDF, ".html" or "/" a page,
/// anything else an image), each with its proper content type, and counts the requests. A path
/// under "/moved/" is redirected to the same path without that prefix.
class DocumentServer final : public QTcpServer
{
    Q_OBJECT
public:
    explicit DocumentServer(QObject *parent = nullptr);
    /// Listens on an ephemeral loopback port; false when a fixture is missing or listening fails.
    bool start();
    QUrl baseUrl() const;
    /// Requests so far for `path`.
    int requestCount(const QString &path) const { return m_requests.count(path); }
    QStringList requests() const { return m_requests; }
    /// Serves `body` of the content `type` as the image from now on.
    void setImage(const QByteArray &body, const QByteArray &type)
    {
        m_image = body;
        m_imageType = type;
    }
    /// Serves `body` as every PDF from now on.
    void setPdf(const QByteArray &body) { m_pdf = body; }
    /// Serves the fixture image again.
    void restoreImage();
    /// Answers 404 for these paths from now on.
    void setMissing(const QStringList &paths) { m_missing = paths; }

private:
    void answer(QTcpSocket *socket);

    QByteArray m_image;
    QByteArray m_imageType = "image/jpeg";
    QByteArray m_pdf;
    QByteArray m_page;
    QStringList m_requests;
    QStringList m_missing;
};

/// Every source on the one server under a prefix of its own, so that a request shows which
/// source was used: chart N under "/cN", camera N under "/kN", the agency's under "/jma" and
/// "/bosai".
inline SourceHosts hostsOn(const QUrl &base)
{
    SourceHosts hosts;
    for (int source = 1; source <= 9; ++source)
        hosts.insert(QStringLiteral("chart%1").arg(source),
                     base.toString() + QStringLiteral("/c%1").arg(source));
    for (int source = 1; source <= 6; ++source)
        hosts.insert(QStringLiteral("camera%1").arg(source),
                     base.toString() + QStringLiteral("/k%1").arg(source));
    hosts.insert(QStringLiteral("jma"), base.toString() + QStringLiteral("/jma"));
    hosts.insert(QStringLiteral("jmabosai"), base.toString() + QStringLiteral("/bosai"));
    return hosts;
}
