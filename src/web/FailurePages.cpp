// The not-configured and load-failed pages.
#include "web/FailurePages.h"

#include "store/Sources.h"

QString notConfiguredPage(const DocumentAddress &address, const QString &title)
{
    const Source *named = FindSource(address.sourceName);
    const bool camera = named && named->firstDocument == FirstDocument::Camera;
    const QString number = named ? QString::number(named->number) : QString();
    // Sources without a number go by their label: "気象庁 (...)".
    const QString source = named && named->number == 0
                               ? QString::fromUtf8(named->label)
                               : (camera ? QStringLiteral("ライブカメラの配信元 ")
                                         : QStringLiteral("天気図の配信元 ")) +
                                     number;
    return QStringLiteral("<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\">"
                          "<title>%1</title></head>"
                          "<body style=\"font-family: sans-serif; margin: 2em;\">"
                          "<h2>%1</h2>"
                          "<p>%2 (<code>%3</code>) のアドレスが設定されていないため、"
                          "「%4」(<code>%5</code>) を表示できません。</p>"
                          "<p><a href=\"%6\">接続先を設定...</a>"
                          " (「拡張設定」の「接続先」) で配信元のアドレスを設定すると、"
                          "ここに表示されます。</p>"
                          "</body></html>")
        .arg(QStringLiteral("アドレスが設定されていません"), source.toHtmlEscaped(),
             address.sourceName.toHtmlEscaped(), title.toHtmlEscaped(),
             address.path.toHtmlEscaped(),
             SourceLinkUrl(address.sourceName).toString().toHtmlEscaped());
}

QString loadFailedPage(const QString &url, const QString &title, LoadFailure failure, int code)
{
    QString what;
    switch (failure) {
    case LoadFailure::NoAnswer:
        what = QStringLiteral("サーバーから応答がありません。");
        break;
    case LoadFailure::NameNotFound:
        what = QStringLiteral("サーバーの名前が見つかりません (DNS)。");
        break;
    case LoadFailure::Refused:
        what = QStringLiteral("サーバーに接続を拒否されました。");
        break;
    case LoadFailure::HttpStatus:
        what = code == 404 ? QStringLiteral("サーバーにこの文書がありません (HTTP 404)。")
                           : QStringLiteral("サーバーがエラーを返しました (HTTP %1)。").arg(code);
        break;
    case LoadFailure::Certificate:
        what = QStringLiteral("サーバーの証明書を確認できません。");
        break;
    case LoadFailure::Other:
        what = QStringLiteral("読み込めませんでした (エラー %1)。").arg(code);
        break;
    }
    return QStringLiteral("<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"utf-8\">"
                          "<title>%1</title></head>"
                          "<body style=\"font-family: sans-serif; margin: 2em;\">"
                          "<h2>%1</h2>"
                          "<p>「%2」を表示できません。%3</p>"
                          "<p>アドレス: <code>%4</code></p>"
                          "<p>しばらくすると自動で読み込み直します。続くときは「拡張設定」の"
                          "「接続先」でアドレスを確認してください。</p>"
                          "</body></html>")
        .arg(QStringLiteral("読み込めませんでした"), title.toHtmlEscaped(), what.toHtmlEscaped(),
             url.toHtmlEscaped());
}
