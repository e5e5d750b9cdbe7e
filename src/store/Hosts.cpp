// The check of a typed address.
#include "store/Hosts.h"

#include "store/SettingsStore.h"

#include <QUrl>

namespace {

/// Why an address that starts with its scheme still is none; empty when the reason is not one
/// of these.
QString whatIsWrong(const QString &address)
{
    for (const QChar c : address) {
        if (c.isSpace())
            return QStringLiteral("アドレスに空白があります。");
    }
    // The authority: after "//", up to the path; a port after the last ':' outside brackets.
    const QString authority =
        address.section(QLatin1String("//"), 1).section(QLatin1Char('/'), 0, 0);
    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && colon > authority.lastIndexOf(QLatin1Char(']'))) {
        const QString port = authority.mid(colon + 1);
        bool number = false;
        const qlonglong value = port.toLongLong(&number);
        if (!number || port.startsWith(QLatin1Char('+')) || port.startsWith(QLatin1Char('-')))
            return QStringLiteral("ポート番号「%1」は数字ではありません。").arg(port);
        if (value < 1 || value > 65535)
            return QStringLiteral("ポート番号 %1 は範囲外です (1〜65535)。").arg(port);
    }
    return {};
}

} // namespace

HostValidation ValidateHostAddress(const QString &typed)
{
    const QString address = NormalisedHost(typed);
    if (address.isEmpty())
        return {};
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = address.section(QLatin1Char(':'), 0, 0).toLower();
    if (!address.contains(QLatin1Char(':')) ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {address,
                QStringLiteral("http:// または https:// で始まるアドレスを入力してください。")};
    if (!url.isValid() || url.port() == 0) {
        const QString wrong = whatIsWrong(address);
        return {address,
                wrong.isEmpty() ? QStringLiteral("アドレスの形が正しくありません。") : wrong};
    }
    if (url.host().isEmpty())
        return {address, QStringLiteral("ホスト名がありません。")};
    if (url.hasQuery() || url.hasFragment())
        return {address, QStringLiteral("「?」や「#」を含むアドレスは使えません。")};
    return {address, {}};
}
