// HTTP fetches over one shared QNetworkAccessManager.
#include "platform/HttpFetch.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

// Off unless asked for: QT_LOGGING_RULES="tarnbeck.fetch.info=true".
Q_LOGGING_CATEGORY(lcFetch, "tarnbeck.fetch", QtWarningMsg)

QNetworkAccessManager &HttpFetch::network()
{
    static QNetworkAccessManager *manager = [] {
        auto *m = new QNetworkAccessManager(); // lives as long as the process
        m->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
        return m;
    }();
    return *manager;
}

QNetworkReply *HttpFetch::get(const QUrl &url, QObject *context,
                              std::function<void(const FetchResult &)> done, int timeoutMs,
                              qint64 bodyCap)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = network().get(request);

    // A body over the cap is not a station file; stop reading it rather than grow without end.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, bodyCap](qint64 received, qint64) {
                         if (received > bodyCap) {
                             reply->setProperty("overCap", true);
                             reply->abort();
                         }
                     });
    // The transfer timeout only measures silence: a server dripping a byte at a time would hold
    // the fetch, and the one build allowed in flight, for ever. So the whole fetch has a deadline.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    deadline->setTimerType(Qt::PreciseTimer); // a coarse timer may end the fetch 5 % early
    QObject::connect(deadline, &QTimer::timeout, reply, [reply] {
        reply->setProperty("overTime", true);
        reply->abort();
    });
    deadline->start(timeoutMs);
    reply->setProperty("limitMs", timeoutMs);
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, done = std::move(done)] {
        if (reply->property("cancelled").toBool())
            return; // the caller has gone on: nobody is told
        using Failure = FetchResult::Failure;
        FetchResult result;
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
        if (reply->property("overCap").toBool()) {
            result.error = QStringLiteral("the response is larger than allowed");
            result.failure = Failure::TooLarge;
        } else if (reply->property("overTime").toBool() ||
                   reply->error() == QNetworkReply::OperationCanceledError) {
            // Qt's transfer timeout, a coarse timer that may beat the deadline, ends a silent
            // reply by abort(), which reads as a cancel; cancel() disconnects and never gets here.
            // The limit named: the first source's share, or the whole deadline.
            result.error = QStringLiteral("no complete response within the %1 s allowed")
                               .arg(reply->property("limitMs").toInt() / 1000.0);
            result.failure = Failure::TimedOut;
        } else if (reply->error() != QNetworkReply::NoError) {
            result.error = reply->errorString();
            const auto code = reply->error();
            result.failure = result.status != 0                              ? Failure::Status
                             : code == QNetworkReply::HostNotFoundError      ? Failure::HostNotFound
                             : code == QNetworkReply::ConnectionRefusedError ? Failure::Refused
                             : code == QNetworkReply::TimeoutError           ? Failure::TimedOut
                                                                             : Failure::Other;
        } else if (result.status < 200 || result.status > 299) {
            result.error = QStringLiteral("HTTP status %1").arg(result.status);
            result.failure = Failure::Status;
        } else {
            result.ok = true;
        }
        if (reply->isOpen() && !reply->property("overCap").toBool())
            result.body = reply->readAll();
        if (!result.ok)
            qCInfo(lcFetch).noquote() << reply->url().toString() << "failed:" << result.error;
        reply->deleteLater();
        done(result);
    });
    // Without a context the reply would outlive whoever wanted it.
    QObject::connect(context, &QObject::destroyed, reply, [reply] { cancel(reply); });
    return reply;
}

void HttpFetch::cancel(QNetworkReply *reply)
{
    if (!reply)
        return;
    // Not reply->disconnect(): that would also cut the signal that carries the abort to the
    // network thread, and the connection would stay open until the server closed it.
    reply->setProperty("cancelled", true);
    for (QTimer *deadline : reply->findChildren<QTimer *>())
        deadline->stop();
    reply->abort();
    reply->deleteLater();
}
