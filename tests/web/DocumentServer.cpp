// The document server: one request per connection, fixtures by the path's ending.
#include "DocumentServer.h"

#include <QFile>
#include <QTcpSocket>

namespace {

QByteArray fixture(const char *name)
{
    QFile file(QStringLiteral(TARNBECK_WEB_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

DocumentServer::DocumentServer(QObject *parent) : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool DocumentServer::start()
{
    m_image = fixture("chart.jpg");
    m_pdf = fixture("chart.pdf");
    m_page = fixture("page.html");
    if (m_image.isEmpty() || m_pdf.isEmpty() || m_page.isEmpty())
        return false;
    return listen(QHostAddress::LocalHost, 0);
}

void DocumentServer::restoreImage()
{
    setImage(fixture("chart.jpg"), "image/jpeg");
}

QUrl DocumentServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort()));
}

void DocumentServer::answer(QTcpSocket *socket)
{
    const QByteArray buffer = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", buffer);
    if (!buffer.contains("\r\n\r\n"))
        return;
    socket->setProperty("request", QByteArray());
    const QList<QByteArray> parts = buffer.left(buffer.indexOf("\r\n")).split(' ');
    const QString path = parts.size() > 1 ? QString::fromLatin1(parts[1]) : QString();
    m_requests.append(path);

    int status = 200;
    QByteArray type;
    QByteArray body;
    QByteArray location;
    if (path.startsWith(QLatin1String("/moved/"))) {
        status = 302; // to the same path without the prefix
        type = "text/plain";
        location = path.mid(6).toLatin1();
    } else if (path == QLatin1String("/favicon.ico") || m_missing.contains(path)) {
        status = 404;
        type = "text/plain";
        body = "Not Found\n";
    } else if (path.endsWith(QLatin1String(".pdf"))) {
        type = "application/pdf";
        body = m_pdf;
    } else if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1String(".html"))) {
        type = "text/html; charset=utf-8";
        body = m_page;
    } else {
        type = m_imageType;
        body = m_image;
    }
    QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + " X\r\n";
    response += "Content-Type: " + type + "\r\nConnection: close\r\nCache-Control: no-store\r\n";
    if (!location.isEmpty())
        response += "Location: " + location + "\r\n";
    response += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    response += body;
    socket->write(response);
    socket->disconnectFromHost();
}
