// The one way the program fetches a document: asynchronous GET with a timeout and a size cap.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

struct FetchResult
{
    bool ok = false; ///< transferred completely with a 2xx status
    int status = 0;  ///< HTTP status, 0 when no response arrived
    QByteArray body; ///< what arrived (empty when the body was over the cap)
    QString error;   ///< why it failed (logged in the category "tarnbeck.fetch")
    /// Why, as a kind the user can be told about.
    enum class Failure { None, HostNotFound, Refused, TimedOut, TooLarge, Status, Other };
    Failure failure = Failure::None;
    QString contentType; ///< the Content-Type header, as sent
};

class HttpFetch final
{
public:
    static constexpr int defaultTimeoutMs = 15000;
    static constexpr qint64 defaultBodyCap = 64 * 1024;

    /// The manager shared by every fetch of the program.
    static QNetworkAccessManager &network();

    /// Starts a GET of `url`; `done` runs once, later, from the event loop, unless `context`
    /// has gone or the fetch was cancelled. Redirects are followed.
    static QNetworkReply *get(const QUrl &url, QObject *context,
                              std::function<void(const FetchResult &)> done,
                              int timeoutMs = defaultTimeoutMs, qint64 bodyCap = defaultBodyCap);
    /// Stops a fetch without calling its `done`.
    static void cancel(QNetworkReply *reply);
};
