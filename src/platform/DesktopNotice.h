// Desktop notices through the freedesktop notification service.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

class DesktopNotice final : public QObject
{
    Q_OBJECT

public:
    /// Notices on the session bus.
    explicit DesktopNotice(QObject *parent = nullptr);
    /// Notices on `bus`.
    DesktopNotice(const QDBusConnection &bus, QObject *parent = nullptr);

    /// Sends one notice asynchronously; no service on the bus, or no bus, means nothing happens
    /// and nothing is shown.
    void send(const QString &title, const QString &body);

private:
    std::optional<QDBusConnection> m_bus;
    bool m_failureLogged = false;
};
