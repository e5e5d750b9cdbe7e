// The loopback HTTP server: one request per connection, fixed answers per path.
#include "support/LoopbackHttpServer.h"

#include <QFile>
#include <QTcpSocket>
#include <QTimer>

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_unanswered.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

bool LoopbackHttpServer::start(quint16 port)
{
    return listen(QHostAddress::LocalHost, port);
}

QUrl LoopbackHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort()));
}

void LoopbackHttpServer::serveFile(const QString &path, const QString &file, int status)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("fixture missing: %s", qPrintable(file));
    setRoute(path, {status, f.readAll(), Behaviour::Respond, {}});
}

void LoopbackHttpServer::answer(QTcpSocket *socket)
{
    // A request may arrive in pieces; keep what came so far on the socket itself.
    const QByteArray buffer = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", buffer);
    if (!buffer.contains("\r\n\r\n"))
        return;
    socket->setProperty("request", QByteArray());
    const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    const QString path = parts.size() > 1 ? QString::fromLatin1(parts[1]) : QString();
    m_requests.append(path);

    const Route route = m_routes.value(path, Route{404, "Not Found\n", Behaviour::Respond, {}});
    if (route.behaviour == Behaviour::NeverAnswer) {
        m_unanswered.insert(socket);
        return;
    }
    if (route.behaviour == Behaviour::CloseAtOnce) {
        socket->abort();
        return;
    }
    QByteArray response = "HTTP/1.1 " + QByteArray::number(route.status) + " X\r\n";
    response += "Content-Type: " + route.contentType + "\r\nConnection: close\r\n";
    if (!route.location.isEmpty())
        response += "Location: " + route.location + "\r\n";
    response += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n\r\n";
    response += route.body;
    if (route.delayMs <= 0) {
        socket->write(response);
        socket->disconnectFromHost();
        return;
    }
    m_unanswered.insert(socket);
    QTimer::singleShot(route.delayMs, socket, [this, socket, response] {
        m_unanswered.remove(socket);
        socket->write(response);
        socket->disconnectFromHost();
    });
}
