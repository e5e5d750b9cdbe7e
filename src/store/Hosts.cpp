// The order of the configured servers and the check of a typed address.
#include "store/Hosts.h"

#include "store/SettingsStore.h"

#include <QUrl>

QStringList HostNames()
{
    QStringList names{QStringLiteral("report"), QStringLiteral("report2"), QStringLiteral("home"),
                      QStringLiteral("programpage")};
    for (int i = 1; i <= 9; ++i)
        names.append(QStringLiteral("chart%1").arg(i));
    for (int i = 1; i <= 6; ++i)
        names.append(QStringLiteral("camera%1").arg(i));
    return names;
}

HostValidation ValidateHostAddress(const QString &typed)
{
    const QString address = NormalisedHost(typed);
    if (address.isEmpty())
        return {};
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {address,
                QStringLiteral("http:// または https:// で始まるアドレスを入力してください。")};
    if (url.host().isEmpty())
        return {address, QStringLiteral("ホスト名がありません。")};
    if (url.hasQuery() || url.hasFragment())
        return {address, QStringLiteral("「?」や「#」を含むアドレスは使えません。")};
    return {address, {}};
}
