// A tiny HTTP/1.1 server on 127.0.0.1 that stands in for the outside servers in tests.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class LoopbackHttpServer final : public QTcpServer
{
    Q_OBJECT
public:
    enum class Behaviour { Respond, NeverAnswer, CloseAtOnce };
    struct Route
    {
        int status = 200;
        QByteArray body;
        Behaviour behaviour = Behaviour::Respond;
        QByteArray location;                   ///< for redirects
        QByteArray contentType = "text/plain"; ///< the Content-Type sent
        int delayMs = 0;                       ///< a slow server: the answer only after this
    };

    explicit LoopbackHttpServer(QObject *parent = nullptr);
    /// Listens on `port` of the loopback address (0: an ephemeral port).
    bool start(quint16 port = 0);
    QUrl baseUrl() const;

    void setRoute(const QString &path, const Route &route) { m_routes.insert(path, route); }
    void serveFile(const QString &path, const QString &file, int status = 200);
    void clearRoutes() { m_routes.clear(); }
    /// Paths requested so far, in order.
    QStringList requests() const { return m_requests; }
    /// Requests left unanswered whose connection the client still holds open: 0 once every
    /// fetch held by a silent route has been given up by the client.
    int unansweredOpen() const { return int(m_unanswered.size()); }

private:
    void answer(QTcpSocket *socket);

    QHash<QString, Route> m_routes;
    QStringList m_requests;
    QSet<const QTcpSocket *> m_unanswered;
};
