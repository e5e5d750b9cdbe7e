// The chart and camera catalogues as data, in menu order.
#include "web/WebCatalogue.h"

#include "store/Sources.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr ChartItem entry(const char *caption, const char *control, int index, int source,
                          const char *basePath, const char *file, TitleForm title, int width,
                          int height)
{
    return {ChartItemKind::Entry,
            caption,
            control,
            index,
            source,
            basePath,
            file,
            title,
            nullptr,
            width,
            height};
}

constexpr ChartItem maximised(const char *caption, const char *control, int source,
                              const char *basePath, const char *file)
{
    return entry(caption, control, -1, source, basePath, file, TitleForm::Own, 0, 0);
}

constexpr ChartItem separator(const char *control, int index = -1)
{
    return {ChartItemKind::Separator, "-",     control, index, 0, "", "",
            TitleForm::Own,           nullptr, 0,       0};
}

constexpr ChartItem submenu(const char *caption, const char *control, const char *prefix = nullptr)
{
    return {
        ChartItemKind::SubmenuBegin, caption, control, -1, 0, "", "", TitleForm::Own, prefix, 0, 0};
}

constexpr ChartItem end()
{
    return {ChartItemKind::SubmenuEnd, "", "", -1, 0, "", "", TitleForm::Own, nullptr, 0, 0};
}

constexpr TitleForm Own = TitleForm::Own;
constexpr TitleForm Parent = TitleForm::ParentOwn;
constexpr TitleForm Prefix = TitleForm::PrefixOwn;

constexpr const char *tubo = "/imagedata/tubo/";
constexpr const char *chart = "/imagedata/chart/";
constexpr const char *cgimg = "/weather/cgimg/";
constexpr const char *tec = "/tecweather/";
constexpr const char *pdfChart = "/chart/";
constexpr const char *typh = "/typh/images/";
constexpr const char *amedas = "/amedas/images/";
constexpr const char *radar = "/radar/images/";

// AMeDAS submenus share their nine captions; index 1 is a separator of the array itself.
#define AMEDAS_SUBMENU(caption, submenuControl, control, prefix, kind)                             \
    submenu(caption, submenuControl, prefix),                                                      \
        entry("全国", control, 0, 3, amedas, "amedas-" kind "-b-zen.jpg", Prefix, 10200, 7800),    \
        separator(control, 1),                                                                     \
        entry("北海道", control, 2, 3, amedas, "amedas-" kind "-b-hokkaido.jpg", Prefix, 10200,    \
              7800),                                                                               \
        entry("東北", control, 3, 3, amedas, "amedas-" kind "-b-tohoku.jpg", Prefix, 10200, 7800), \
        entry("関東・甲信越", control, 4, 3, amedas, "amedas-" kind "-b-kanto.jpg", Prefix, 10200, \
              7800),                                                                               \
        entry("東海・北陸・近畿", control, 5, 3, amedas, "amedas-" kind "-b-kinki.jpg", Prefix,    \
              10200, 7800),                                                                        \
        entry("中国・四国", control, 6, 3, amedas, "amedas-" kind "-b-chushikoku.jpg", Prefix,     \
              10200, 7800),                                                                        \
        entry("九州", control, 7, 3, amedas, "amedas-" kind "-b-kyushu.jpg", Prefix, 10200, 7800), \
        entry("沖縄", control, 8, 3, amedas, "amedas-" kind "-b-okinawa.jpg", Prefix, 10200,       \
              7800),                                                                               \
        end()

constexpr ChartItem chartItems[] = {
    submenu("今日の天気", "menu_chart_today_"),
    entry("天気のツボ (昼)", "menu_chart_today", 1, 2, tubo, "LBWwb_tubo_1.jpg", Own, 9600, 7300),
    entry("天気のツボ (夜)", "menu_chart_today", 2, 2, tubo, "LBWwb_tubo_2.jpg", Own, 9600, 7300),
    entry("実況天気図", "menu_chart_today", 3, 2, chart, "LBWwb_asas.jpg", Own, 9600, 7300),
    entry("予想天気図", "menu_chart_today", 4, 2, chart, "LBWwb_fsas.jpg", Own, 9600, 7300),
    end(),
    submenu("TV用解説図", "menu_TV"),
    submenu("今日の天気", "menu_TV_today"),
    entry("天気概況", "menu_TV_today_gaikyou", -1, 7, cgimg, "today-i.jpg", Own, 9100, 5250),
    entry("予想最低気温", "menu_TV_today_minTemp", -1, 7, cgimg, "low-temp-i.jpg", Own, 9100, 5250),
    entry("予想最高気温", "menu_TV_today_maxTemp", -1, 7, cgimg, "high-temp-i.jpg", Own, 9100,
          5250),
    entry("降水確率", "menu_TV_today_rain", -1, 7, cgimg, "precip-i.jpg", Own, 9100, 5250),
    end(),
    entry("明日の天気", "menu_TV_tomorrow", -1, 7, cgimg, "tomorrow-i.jpg", Own, 9100, 5250),
    entry("週間予報", "menu_TV_forecast", -1, 7, cgimg, "oneweek-i.jpg", Own, 9100, 5250),
    end(),
    maximised("Yahoo 空港天気予報", "menu_yahoo", 9, "/weather/jp/leisure/airport/", ""),
    separator("menu_lne0"),
    maximised("速報天気図", "menu_SPAS", 5, tec, "SPAS.pdf"),
    maximised("アジア地上解析図", "menu_ASAS", 5, tec, "ASAS.pdf"),
    maximised("アジア 850,700hPa 高層天気図", "menu_AUPQ78", 5, tec, "AUPQ78.pdf"),
    maximised("アジア 500,300hPa 高層天気図", "menu_AUPQ35", 5, tec, "AUPQ35.pdf"),
    maximised("アジア太平洋 200hPa 高度・気温・風・圏界面図", "manu_AUPA20", 5, tec, "AUPA20.pdf"),
    maximised("極東 500,700hPa 天気図", "menu_AXFE578", 5, tec, "AXFE578.pdf"),
    maximised("国内航空路断面図", "menu_FXJP", 6, pdfChart, "FXJP106.pdf"),
    maximised("高層断面図", "menu_AXJP140", 5, tec, "AXJP140.pdf"),
    maximised("悪天予想図 - 6時間予想", "menu_FBJP", 6, pdfChart, "FBJP.pdf"),
    maximised("悪天予想図 - 12時間予想", "menu_FBJP112", 6, pdfChart, "FBJP412.pdf"),
    maximised("広域雲解析情報図 - 北半球", "menu_TSAS1", 6, pdfChart, "TSAS1.pdf"),
    maximised("広域雲解析情報図 - 南半球", "menu_TSAS2", 6, pdfChart, "TSAS2.pdf"),
    maximised("北半球 500hPa 高度・気温天気図", "menu_AUXN50", 5, tec, "AUXN50.pdf"),
    separator("menu_lne1"),
    maximised("アジア地上24時間予想天気図", "menu_FSAS24", 5, tec, "FSAS.pdf"),
    maximised("アジア地上48時間予想天気図", "menu_FSAS48", 5, tec, "FSAS48.pdf"),
    maximised("500hPa 高度・渦度 12/24時間予想図", "menu_FXFE502", 5, tec, "FXFE502.pdf"),
    maximised("500hPa 高度・渦度 36/48時間予想図", "menu_FXFE504", 5, tec, "FXFE504.pdf"),
    maximised("500hPa 高度・渦度 72時間予想図", "menu_FXFE507", 5, tec, "FXFE507.pdf"),
    maximised("極東 850hPa 気温・風、700hPa 上昇流 12/24時間予想図", "menu_FXFE5782", 5, tec,
              "FXFE5782.pdf"),
    maximised("極東 850hPa 気温・風、700hPa 上昇流 36/48時間予想図", "menu_FXFE5784", 5, tec,
              "FXFE5784.pdf"),
    maximised("極東 850hPa 気温・風、700hPa 上昇流 72時間予想図", "menu_FXFE577", 5, tec,
              "FXFE577.pdf"),
    maximised("日本 850hPa 風・相当温位予想図", "menu_FXJP854", 5, tec, "FXJP854.pdf"),
    separator("menu_lne2"),
    maximised("週間予報支援図", "menu_FXXN519", 5, tec, "FXXN519.pdf"),
    maximised("週間予報支援図 （アンサンブル）", "menu_FZCX50", 5, tec, "FZCX50.pdf"),
    maximised("週間アンサンブル予想図", "menu_FEFE19", 5, tec, "FEFE19.pdf"),
    separator("menu_lne4"),
    submenu("台風情報", "menu_chart_typoon_"),
    entry("アジア広域", "menu_chart_typoon", 1, 3, typh, "asia_l.jpg", Parent, 10200, 7800),
    entry("日本広域", "menu_chart_typoon", 2, 3, typh, "koiki_l.jpg", Parent, 10200, 7800),
    entry("日本拡大", "menu_chart_typoon", 3, 3, typh, "kakudai_l.jpg", Parent, 10200, 7800),
    end(),
    submenu("アメダス", "menu_chart_amedas"),
    AMEDAS_SUBMENU("降水量", "menu_chart_amedas_rain_", "menu_chart_amedas_rain",
                   "アメダス - 降水量 - ", "rain"),
    AMEDAS_SUBMENU("風向・風速", "menu_chart_amedas_wind_", "menu_chart_amedas_wind",
                   "アメダス - 風向・風速 - ", "wind"),
    AMEDAS_SUBMENU("気温", "menu_chart_amedas_temp_", "menu_chart_amedas_temp",
                   "アメダス - 気温 - ", "temp"),
    AMEDAS_SUBMENU("日照", "menu_chart_amedas_sun_", "menu_chart_amedas_sun", "アメダス - 日照 - ",
                   "sun"),
    end(),
    submenu("レーダーアメダス合成図 (現況)", "menu_chart_radaramedas_"),
    entry("日本全図", "menu_chart_radaramedas", 1, 1, "/", "rdam/rd0_jp.gif", Parent, 10200, 10150),
    entry("南日本", "menu_chart_radaramedas", 2, 1, "/", "rdam/rd0_sjp.gif", Parent, 10200, 10150),
    end(),
    submenu("レーダーアメダス合成図 (6時間予報)", "menu_chart_radaramedas_forcast_"),
    entry("北日本", "menu_chart_radaramedas_forcast", 1, 1, "/", "rdam/rd8_hjp.gif", Parent, 10200,
          6600),
    entry("南日本", "menu_chart_radaramedas_forcast", 2, 1, "/", "rdam/rd8_mjp.gif", Parent, 10200,
          6600),
    entry("南西諸島", "menu_chart_radaramedas_forcast", 3, 1, "/", "rdam/rd8_ljp.gif", Parent,
          10200, 6600),
    end(),
    submenu("レーダーアメダス合成図 (過去24時間)", "menu_chart_radaramedas_sequence_"),
    entry("北日本", "menu_chart_radaramedas_sequence", 1, 1, "/", "rdam/rd7_hjp.gif", Parent, 10200,
          6600),
    entry("南日本", "menu_chart_radaramedas_sequence", 2, 1, "/", "rdam/rd7_mjp.gif", Parent, 10200,
          6600),
    entry("南西諸島", "menu_chart_radaramedas_sequence", 3, 1, "/", "rdam/rd7_ljp.gif", Parent,
          10200, 6600),
    end(),
    separator("menu_lne3"),
    entry("広域合成レーダー", "menu_chart_kouikiradar", -1, 8, "/img/summary/", "radar_Area80.png",
          Own, 7400, 7400),
    submenu("合成レーダー", "menu_chart_radar_"),
    entry("北海道", "menu_chart_radar", 0, 3, radar, "radarRSAP.jpg", Parent, 10200, 7800),
    entry("東北北部", "menu_chart_radar", 1, 3, radar, "radarRNTH.jpg", Parent, 10200, 7800),
    entry("東北南部・関東", "menu_chart_radar", 2, 3, radar, "radarRKNT.jpg", Parent, 10200, 7800),
    entry("東海・近畿", "menu_chart_radar", 3, 3, radar, "radarRWTK.jpg", Parent, 10200, 7800),
    entry("中国・四国・九州北部", "menu_chart_radar", 4, 3, radar, "radarRCGK.jpg", Parent, 10200,
          7800),
    entry("九州南部", "menu_chart_radar", 5, 3, radar, "radarRNKG.jpg", Parent, 10200, 7800),
    entry("沖縄東部", "menu_chart_radar", 6, 3, radar, "radarRNAH.jpg", Parent, 10200, 7800),
    entry("沖縄西部", "menu_chart_radar", 7, 3, radar, "radarRISG.jpg", Parent, 10200, 7800),
    end(),
    submenu("気象衛星", "menu_chart_sat_"),
    entry("日本付近", "menu_chart_sat", 1, 4, "/", "FE/00Latest.jpg", Parent, 10200, 7800),
    entry("クイックルック", "menu_chart_sat", 2, 4, "/", "QL/00Latest.jpg", Parent, 9300, 9300),
    end(),
};

#undef AMEDAS_SUBMENU

constexpr CameraItem cameraItems[] = {
    {"新千歳空港", "menu_shinnchitose", 1, "/cameraimg/shinchitose_L.jpg", 6600},
    {"札幌", "menu_sapporo", 1, "/cameraimg/sapporo_L.jpg", 6600},
    {"旭川", "menu_asahikawa", 1, "/cameraimg/asahikawa_L.jpg", 6600},
    {"函館", "menu_hakodate", 1, "/cameraimg/hakodate_L.jpg", 6600},
    {"帯広", "menu_obihiro", 1, "/cameraimg/obihiro_L.jpg", 6600},
    {"釧路", "menu_kushiro", 1, "/cameraimg/kushiro_L.jpg", 6600},
    {"仙台空港", "menu_sendai", 2, "/liveimage/live-sendai-east.jpg", 8400},
    {"福島空港", "menu_fukushima", 3, "/kukouoffice/photo1.jpg", 8400},
    {"秋田空港", "menu_akita", 4, "/img/camera.php", 8400},
    {"小松空港", "menu_komatsu", 5, "/-wvhttp-01-/GetOneShot", 8400},
    {"広島空港", "menu_hiroshima", 6, "/HIROSHIMA-AIRPORT/camera.jpg", 8400},
};

constexpr JmaItem jmaEntry(const char *caption, const char *control, const char *source,
                           const char *path, JmaFile file = JmaFile::Fixed)
{
    return {ChartItemKind::Entry, caption, control, source, path, file};
}

constexpr JmaItem jmaSeparator(const char *control)
{
    return {ChartItemKind::Separator, "-", control, "", "", JmaFile::Fixed};
}

constexpr JmaItem jmaSubmenu(const char *caption, const char *control)
{
    return {ChartItemKind::SubmenuBegin, caption, control, "", "", JmaFile::Fixed};
}

constexpr JmaItem jmaSubmenuEnd()
{
    return {ChartItemKind::SubmenuEnd, "", "", "", "", JmaFile::Fixed};
}

constexpr const char *jma = SourceName::jma;
constexpr const char *bosai = SourceName::jmaBosai;
constexpr JmaFile Run = JmaFile::Run;
constexpr JmaFile Area = JmaFile::Area;

#define NWP "/bosai/numericmap/data/nwpmap/"
#define QUICK "/yoho/data/wxchart/quick/"
#define PICT "/airinfo/data/pict/"

constexpr JmaItem jmaItems[] = {
    // Analysis
    jmaEntry("アジア太平洋地上天気図 (カラー)", "menu_jma_ASAS_COLOR", jma, QUICK "ASAS_COLOR.pdf"),
    jmaEntry("アジア太平洋地上天気図 (白黒)", "menu_jma_ASAS_MONO", jma, QUICK "ASAS_MONO.pdf"),
    jmaSeparator("menu_jma_lne0"),
    // Forecast
    jmaEntry("アジア太平洋地上 24時間予想天気図", "menu_jma_FSAS24", jma,
             QUICK "FSAS24_COLOR_ASIA.pdf"),
    jmaEntry("アジア太平洋地上 48時間予想天気図", "menu_jma_FSAS48", jma,
             QUICK "FSAS48_COLOR_ASIA.pdf"),
    jmaSeparator("menu_jma_lne1"),
    // Upper air, by run
    jmaEntry("AUPQ35 アジア500hPa・300hPa 高層天気図", "menu_jma_AUPQ35", bosai,
             NWP "aupq35_HH.pdf", Run),
    jmaEntry("AUPQ78 アジア850hPa・700hPa 高層天気図", "menu_jma_AUPQ78", bosai,
             NWP "aupq78_HH.pdf", Run),
    jmaEntry("AUPA20 アジア太平洋200hPa 高層天気図", "menu_jma_AUPA20", bosai, NWP "aupa20_HH.pdf",
             Run),
    jmaEntry("AUPA25 アジア太平洋250hPa 高層天気図", "menu_jma_AUPA25", bosai, NWP "aupa25_HH.pdf",
             Run),
    jmaSeparator("menu_jma_lne2"),
    // Numerical prediction, by run
    jmaEntry("FXFE502 極東地上気圧・500hPa高度 12・24時間予想図", "menu_jma_FXFE502", bosai,
             NWP "fxfe502_HH.pdf", Run),
    jmaEntry("FXFE5782 極東850hPa気温・700hPa湿数 12・24時間予想図", "menu_jma_FXFE5782", bosai,
             NWP "fxfe5782_HH.pdf", Run),
    jmaEntry("FXJP854 日本850hPa相当温位・風 予想図", "menu_jma_FXJP854", bosai,
             NWP "fxjp854_HH.pdf", Run),
    jmaSeparator("menu_jma_lne3"),
    // One per target
    jmaEntry("飛行場時系列予報", "menu_jma_taf", jma, PICT "taf/QMCD98_ICAO.png", JmaFile::Airport),
    // A pilot's briefing, by the indices briefingCharts() names
    jmaSubmenu("航空気象", "menu_jma_aviation"),
    jmaEntry("国内悪天予想図 (FBJP)", "menu_jma_FBJP", jma, PICT "fbjp/fbjp.png"),
    jmaSeparator("menu_jma_lne4"),
    // Repeated once per area, the shown airport's area first
    jmaEntry("3時間予想", "menu_jma_lowlevel03", jma, PICT "low-level_sigwx/AREA03.png", Area),
    jmaEntry("6時間予想", "menu_jma_lowlevel06", jma, PICT "low-level_sigwx/AREA06.png", Area),
    jmaEntry("9時間予想", "menu_jma_lowlevel09", jma, PICT "low-level_sigwx/AREA09.png", Area),
    jmaEntry("時系列", "menu_jma_lowlevel39", jma, PICT "low-level_sigwx/AREA39.png", Area),
    jmaSeparator("menu_jma_lne5"),
    jmaEntry("国内航空路6・12時間予想断面図 (FXJP106)", "menu_jma_FXJP106", jma,
             PICT "nwp/fxjp106_HH.png", JmaFile::ThreeHourly),
    jmaSeparator("menu_jma_lne6"),
    jmaEntry("飛行場時系列予報 Part 2", "menu_jma_taf2", jma, PICT "taf/QMCJ98_ICAO.png",
             JmaFile::Airport),
    jmaSeparator("menu_jma_lne7"),
    jmaEntry("ブリーフィング (表示中の飛行場)", "menu_jma_briefing", jma, "", JmaFile::Briefing),
    jmaSubmenuEnd(),
};

constexpr LowLevelArea areas[] = {
    {"fbsp", "北海道"}, {"fbsn", "東北"}, {"fbtk", "東日本"},
    {"fbos", "西日本"}, {"fbkg", "奄美"}, {"fbok", "沖縄"},
};

#undef NWP
#undef QUICK
#undef PICT

} // namespace

ChartCatalogue chartCatalogue()
{
    return {chartItems, int(std::size(chartItems))};
}

OpeningChart openingChart(int hour)
{
    if (hour < 12)
        return {"天気のツボ (昼)", "LBWwb_tubo_1.jpg"};
    return {"天気のツボ (夜)", "LBWwb_tubo_2.jpg"};
}

CameraCatalogue cameraCatalogue()
{
    return {cameraItems, int(std::size(cameraItems))};
}

JmaCatalogue jmaCatalogue()
{
    return {jmaItems, int(std::size(jmaItems))};
}

const JmaItem &jmaSurfaceAnalysis()
{
    return jmaItems[0];
}

LowLevelAreas lowLevelAreas()
{
    return {areas, int(std::size(areas))};
}

QString lowLevelAreaCode(const QString &name)
{
    for (const LowLevelArea &area : areas) {
        if (name == QString::fromUtf8(area.name))
            return QString::fromLatin1(area.code);
    }
    return {};
}

BriefingCharts briefingCharts()
{
    const auto find = [](const char *control) {
        const auto *item =
            std::find_if(std::begin(jmaItems), std::end(jmaItems),
                         [&](const JmaItem &i) { return qstrcmp(i.control, control) == 0; });
        Q_ASSERT(item != std::end(jmaItems));
        return item;
    };
    return {{find("menu_jma_taf"), find("menu_jma_taf2"), find("menu_jma_lowlevel39"),
             find("menu_jma_FBJP"), find("menu_jma_FXJP106")}};
}

QString jmaIssueText(const QString &path)
{
    return path.section(QLatin1Char('_'), -1).left(2) + QStringLiteral(" UTC 発表");
}

QString jmaAirportLabel(const ChartTarget &target)
{
    if (target.name.isEmpty())
        return target.icao;
    return target.name + QStringLiteral(" (") + target.icao + QLatin1Char(')');
}

QString jmaAirportCaption(const ChartTarget &target, const JmaItem &item)
{
    return QString::fromUtf8(item.caption) + QLatin1Char(' ') + jmaAirportLabel(target);
}
