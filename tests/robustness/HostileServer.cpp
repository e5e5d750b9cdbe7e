// Misbehaving responses, produced lazily so that a flood never sits in this process's memory.
#include "HostileServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <sys/socket.h>

namespace {

QByteArray header(qint64 length)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(length) + "\r\n\r\n";
}

constexpr qint64 chunk = 64 * 1024;

} // namespace

HostileServer::HostileServer(QObject *parent) : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                const QByteArray got =
                    socket->property("request").toByteArray() + socket->readAll();
                socket->setProperty("request", got);
                if (got.contains("\r\n\r\n") && !socket->property("answered").toBool()) {
                    socket->setProperty("answered", true);
                    answer(socket);
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl HostileServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort()));
}

void HostileServer::answer(QTcpSocket *socket)
{
    ++m_requests;
    switch (m_mode) {
    case Mode::Raw:
        socket->write(m_raw);
        socket->disconnectFromHost();
        return;
    case Mode::ResetMidBody: {
        socket->write(header(m_length) + m_raw.left(m_raw.size() / 2));
        socket->flush();
        m_sent += m_raw.size() / 2;
        // A zero linger turns the close into a reset (RST) instead of an orderly end.
        QTimer::singleShot(50, socket, [socket] {
            const linger hard{1, 0};
            ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                         sizeof hard);
            socket->abort();
        });
        return;
    }
    case Mode::Drip: {
        socket->write(header(m_length));
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [this, socket] {
            if (socket->state() != QAbstractSocket::ConnectedState)
                return;
            socket->write("x");
            ++m_sent;
        });
        timer->start(m_intervalMs);
        return;
    }
    case Mode::Flood:
        socket->write(header(m_length));
        socket->setProperty("left", m_length);
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { pump(socket); });
        pump(socket);
        return;
    }
}

void HostileServer::pump(QTcpSocket *socket)
{
    // Keep only a little queued, so what was sent is what the client agreed to take.
    qint64 left = socket->property("left").toLongLong();
    while (left > 0 && socket->bytesToWrite() < chunk &&
           socket->state() == QAbstractSocket::ConnectedState) {
        const qint64 n = qMin(left, chunk);
        socket->write(QByteArray(n, 'A'));
        left -= n;
        m_sent += n;
    }
    socket->setProperty("left", left);
    if (left == 0)
        socket->disconnectFromHost();
}
