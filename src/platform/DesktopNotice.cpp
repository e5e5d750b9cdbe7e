// The Notify call of the notification service, sent without waiting for its answer.
#include "platform/DesktopNotice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

DesktopNotice::DesktopNotice(QObject *parent) : QObject(parent) {}

DesktopNotice::DesktopNotice(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{}

void DesktopNotice::send(const QString &title, const QString &body)
{
    // The session bus only once a notice is due: most users never turn notices on.
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus->isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop entry lets the notification server group the notices under the program.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tarnbeck")}};
    call << QStringLiteral("Tarnbeck") << 0u << QStringLiteral("tarnbeck") << title << body
         << QStringList() << hints << -1;
    auto *watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *finished) {
                const QDBusPendingReply<uint> reply = *finished;
                // A desktop without a notification server is no fault; say so once in the log.
                if (reply.isError() && !m_failureLogged) {
                    m_failureLogged = true;
                    qInfo("Desktop notices are not shown: %s", qPrintable(reply.error().message()));
                }
                finished->deleteLater();
            });
}
