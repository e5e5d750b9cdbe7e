// How a catalogue entry's address is formed from its source's stored address.
#include "web/DocumentAddress.h"

#include "store/Sources.h"

namespace {

DocumentAddress address(const SourceHosts &hosts, const QString &name, const QString &path)
{
    QString host = hosts.value(name).trimmed();
    // The paths start with "/": a host written with a trailing slash must not double it.
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return {name, host, path, {}};
}

} // namespace

DocumentAddress jmaAddress(const SourceHosts &hosts, const JmaItem &item, const QDateTime &utcNow,
                           const QString &icao, const QString &areaCode)
{
    QString path = QString::fromUtf8(item.path);
    QStringList fallbacks;
    switch (item.file) {
    case JmaFile::Run: {
        const QDateTime run = jmaNewestRun(utcNow);
        fallbacks.append(pathOfRun(path, jmaPreviousRun(run)));
        path = pathOfRun(path, run);
        break;
    }
    case JmaFile::ThreeHourly: {
        const QList<QDateTime> runs = jmaThreeHourlyRuns(utcNow);
        for (qsizetype i = 1; i < runs.size(); ++i)
            fallbacks.append(pathOfRun(path, runs.at(i)));
        path = pathOfRun(path, runs.first());
        break;
    }
    case JmaFile::Area:
        // The codes are the catalogue's own; nothing else may reach the path.
        path.replace(QLatin1String("AREA"), QString::fromLatin1(QUrl::toPercentEncoding(areaCode)));
        break;
    case JmaFile::Airport:
        // An indicator is four letters; anything else must not reach the path.
        path.replace(QLatin1String("ICAO"),
                     QString::fromLatin1(QUrl::toPercentEncoding(icao.trimmed().toUpper())));
        break;
    case JmaFile::Fixed:
    case JmaFile::Briefing:
        break;
    }
    DocumentAddress document = address(hosts, QString::fromUtf8(item.source), path);
    document.fallbackPaths = fallbacks;
    return document;
}

DocumentAddress chartAddress(const SourceHosts &hosts, int source, const QString &path)
{
    return address(hosts, ChartSourceName(source), path);
}

DocumentAddress cameraAddress(const SourceHosts &hosts, int source, const QString &path)
{
    return address(hosts, CameraSourceName(source), path);
}

DocumentAddress DocumentAddress::on(const SourceHosts &hosts) const
{
    DocumentAddress moved = address(hosts, sourceName, path);
    moved.fallbackPaths = fallbackPaths;
    return moved;
}

namespace {

const QString sourceLinkHost = QStringLiteral("tarnbeck.invalid");

} // namespace

QUrl SourceLinkUrl(const QString &hostName)
{
    return QUrl(QStringLiteral("https://%1/source/%2").arg(sourceLinkHost, hostName));
}

QString SourceOfLink(const QUrl &url)
{
    return url.host() == sourceLinkHost ? url.path().section(QLatin1Char('/'), -1) : QString();
}
