// The source table. It keeps no state: tarnbeck-web links its own copy.
#include "store/Sources.h"

#include "store/RunClock.h"
#include "store/SourcePaths.h"

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
    {"chart1", "", "天気図 1: 気象会社のレーダー・アメダス合成画像", Chart, 1, "/rdam/rd0_jp.gif"},
    {"chart2", "", "天気図 2: 天気解説サイトの画像", Chart, 2, "/imagedata/tubo/LBWwb_tubo_1.jpg"},
    {"chart3", "", "天気図 3: 新聞社の天気ページ", Chart, 3, "/typh/images/asia_l.jpg"},
    {"chart4", "", "天気図 4: 大学の衛星画像アーカイブ", Chart, 4, "/FE/00Latest.jpg"},
    {"chart5", "", "天気図 5: 放送局のファクシミリ天気図 (PDF)", Chart, 5, "/tecweather/SPAS.pdf"},
    {"chart6", "", "天気図 6: 個人の天気図サイト (PDF)", Chart, 6, "/chart/FXJP106.pdf"},
    {"chart7", "", "天気図 7: テレビ局の天気画像", Chart, 7, "/weather/cgimg/today-i.jpg"},
    {"chart8", "", "天気図 8: 河川情報サービス", Chart, 8, "/img/summary/radar_Area80.png"},
    {"chart9", "https://weather.yahoo.co.jp", "天気図 9: ポータルサイトの天気 (ページ)", Chart, 9,
     "/weather/jp/leisure/airport/"},
    {SourceName::jma, "https://www.data.jma.go.jp", "気象庁 (実況・予想天気図、飛行場時系列予報)",
     Jma, 0, "/yoho/data/wxchart/quick/ASAS_COLOR.pdf"},
    {SourceName::jmaBosai, "https://www.jma.go.jp", "気象庁 防災情報 (高層天気図、数値予報天気図)",
     Jma, 0, "/bosai/numericmap/data/nwpmap/aupq35_HH.pdf"},
    {"camera1", "", "ライブカメラ 1: 地方放送局の空港カメラ (6空港)", Camera, 1,
     "/cameraimg/shinchitose_L.jpg"},
    {"camera2", "", "ライブカメラ 2: 航空大学校のライブ画像", Camera, 2,
     "/liveimage/live-sendai-east.jpg"},
    {"camera3", "", "ライブカメラ 3: 県空港事務所のサーバー", Camera, 3, "/kukouoffice/photo1.jpg"},
    {"camera4", "", "ライブカメラ 4: 空港会社のサイト (スクリプト)", Camera, 4, "/img/camera.php"},
    {"camera5", "", "ライブカメラ 5: 市のネットワークカメラ", Camera, 5, "/-wvhttp-01-/GetOneShot"},
    {"camera6", "", "ライブカメラ 6: 気象会社のウェブカメラ", Camera, 6,
     "/HIROSHIMA-AIRPORT/camera.jpg"},
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

CheckDocument FirstDocumentOf(const Source &source, const QString &host, const QString &firstTarget,
                              const QDateTime &utcNow)
{
    switch (source.firstDocument) {
    case StationFile:
        return {host + SourcePath::stationFile(firstTarget, false), {}};
    case DataApi:
        return {host + SourcePath::dataApi(firstTarget, false), {}};
    case NetworkCheck:
        return {host + QLatin1String(SourcePath::networkCheck), {}};
    case Itself:
        return {host, {}};
    case Chart:
    case Camera:
    case Jma:
        break;
    }
    const QString path = QString::fromUtf8(source.firstPath);
    if (!path.contains(QLatin1String("HH")))
        return {host + path, {}};
    // A chart by run may not be out yet: the run before it, once, as the chart window does.
    const QDateTime run = jmaNewestRun(utcNow);
    return {host + pathOfRun(path, run), host + pathOfRun(path, jmaPreviousRun(run))};
}
