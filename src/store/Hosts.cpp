// The check of a typed address.
#include "store/Hosts.h"

#include "store/SettingsStore.h"

#include <QUrl>

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
