// The source table. It keeps no state: the web-window plugin links its own copy.
#include "store/Sources.h"

namespace {

using enum FirstDocument;

constexpr Source sources[] = {
    {SourceName::report, "https://tgftp.nws.noaa.gov", "通報サーバー (METAR / TAF の局ファイル)",
     StationFile, 0},
    {SourceName::report2, "https://aviationweather.gov",
     "予備の通報サーバー (Data API。空欄なら使用しない)", DataApi, 0},
    {SourceName::home, "https://tgftp.nws.noaa.gov", "ネットワーク確認 (ident.dat)", NetworkCheck,
     0},
    {SourceName::programPage, "", "プログラムのページ (空欄なら同梱のページ)", Itself, 0},
    {"chart1", "", "天気図 1: 気象会社のレーダー・アメダス合成画像", Chart, 1},
    {"chart2", "", "天気図 2: 天気解説サイトの画像", Chart, 2},
    {"chart3", "", "天気図 3: 新聞社の天気ページ", Chart, 3},
    {"chart4", "", "天気図 4: 大学の衛星画像アーカイブ", Chart, 4},
    {"chart5", "", "天気図 5: 放送局のファクシミリ天気図 (PDF)", Chart, 5},
    {"chart6", "", "天気図 6: 個人の天気図サイト (PDF)", Chart, 6},
    {"chart7", "", "天気図 7: テレビ局の天気画像", Chart, 7},
    {"chart8", "", "天気図 8: 河川情報サービス", Chart, 8},
    {"chart9", "https://weather.yahoo.co.jp", "天気図 9: ポータルサイトの天気 (ページ)", Chart, 9},
    {SourceName::jma, "https://www.data.jma.go.jp", "気象庁 (実況・予想天気図、飛行場時系列予報)",
     Jma, 0},
    {SourceName::jmaBosai, "https://www.jma.go.jp", "気象庁 防災情報 (高層天気図、数値予報天気図)",
     Jma, 0},
    {"camera1", "", "ライブカメラ 1: 地方放送局の空港カメラ (6空港)", Camera, 1},
    {"camera2", "", "ライブカメラ 2: 航空大学校のライブ画像", Camera, 2},
    {"camera3", "", "ライブカメラ 3: 県空港事務所のサーバー", Camera, 3},
    {"camera4", "", "ライブカメラ 4: 空港会社のサイト (スクリプト)", Camera, 4},
    {"camera5", "", "ライブカメラ 5: 市のネットワークカメラ", Camera, 5},
    {"camera6", "", "ライブカメラ 6: 気象会社のウェブカメラ", Camera, 6},
};

QString nameOf(FirstDocument kind, int number)
{
    for (const Source &source : sources) {
        if (source.firstDocument == kind && source.number == number)
            return QLatin1String(source.name);
    }
    return {};
}

} // namespace

std::span<const Source> AllSources()
{
    return sources;
}

const Source *FindSource(const QString &name)
{
    for (const Source &source : sources) {
        if (name == QLatin1String(source.name))
            return &source;
    }
    return nullptr;
}

QString ChartSourceName(int number)
{
    return nameOf(Chart, number);
}

QString CameraSourceName(int number)
{
    return nameOf(Camera, number);
}
