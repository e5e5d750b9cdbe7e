// A loopback HTTP server that misbehaves on purpose: drips, floods, resets or sends raw bytes.
#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

class HostileServer final : public QTcpServer
{
    Q_OBJECT
public:
    enum class Mode {
        Raw,         ///< writes `raw` as the whole response, then closes
        Drip,        ///< a valid header announcing `length` bytes, then one byte per `intervalMs`
        Flood,       ///< a valid header announcing `length` bytes and sends them all, lazily
        ResetMidBody ///< a header announcing `length` bytes, half of `raw`, then a TCP reset
    };

    explicit HostileServer(QObject *parent = nullptr);
    bool start() { return listen(QHostAddress::LocalHost, 0); }
    QUrl baseUrl() const;

    void setMode(Mode mode) { m_mode = mode; }
    void setRaw(const QByteArray &raw) { m_raw = raw; }
    void setLength(qint64 length) { m_length = length; }
    void setIntervalMs(int ms) { m_intervalMs = ms; }

    /// Body bytes handed to the kernel so far, over all connections.
    qint64 bodyBytesSent() const { return m_sent; }
    int requestCount() const { return m_requests; }

private:
    void answer(QTcpSocket *socket);
    void pump(QTcpSocket *socket);

    Mode m_mode = Mode::Raw;
    QByteArray m_raw;
    qint64 m_length = 0;
    int m_intervalMs = 1000;
    qint64 m_sent = 0;
    int m_requests = 0;
};
