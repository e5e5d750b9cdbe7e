// The "天気図" menu against the published chart catalogue, entry by entry; document addresses.
#include "store/Sources.h"
#include "web/BriefingPage.h"
#include "web/ChartMenu.h"
#include "web/FailurePages.h"

#include <QMenu>
#include <QTimeZone>
#include <QtTest>
#include <algorithm>
#include <optional>

namespace {

/// One line of the menu as the user meets it, flattened: "path | control(index) | url | title |
/// size".
using Row = QString;

const QString arrow = QStringLiteral(" ▸ ");

QString hostOf(int source)
{
    return QStringLiteral("https://chart%1.example").arg(source);
}

Row entryRow(const QString &path, const QString &control, int index, int source,
             const QString &basePath, const QString &file, const QString &title, int width,
             int height)
{
    const QString size =
        width == 0 ? QStringLiteral("maximised") : QStringLiteral("%1x%2").arg(width).arg(height);
    return QStringList{path, control + (index >= 0 ? QStringLiteral("(%1)").arg(index) : QString()),
                       hostOf(source) + basePath + file, title, size}
        .join(QStringLiteral(" | "));
}

Row separatorRow(const QString &path, const QString &control, int index = -1)
{
    return QStringList{path + arrow + QStringLiteral("-"),
                       control + (index >= 0 ? QStringLiteral("(%1)").arg(index) : QString())}
        .join(QStringLiteral(" | "));
}

Row submenuRow(const QString &path, const QString &control)
{
    return QStringList{path + arrow + QStringLiteral("▸"), control}.join(QStringLiteral(" | "));
}

/// The catalogue as published, in menu order.
QList<Row> expectedRows()
{
    QList<Row> rows;
    const auto own = [&](const QString &parent, const QString &caption, const QString &control,
                         int index, int source, const QString &base, const QString &file, int w,
                         int h) {
        const QString path = parent.isEmpty() ? caption : parent + arrow + caption;
        rows << entryRow(path, control, index, source, base, file, caption, w, h);
    };
    const auto parentOwn = [&](const QString &parent, const QString &caption,
                               const QString &control, int index, int source, const QString &base,
                               const QString &file, int w, int h) {
        rows << entryRow(parent + arrow + caption, control, index, source, base, file,
                         parent + QStringLiteral(" - ") + caption, w, h);
    };
    const auto pdf = [&](const QString &caption, const QString &control, int source,
                         const QString &file) {
        own({}, caption, control, -1, source,
            source == 5 ? QStringLiteral("/tecweather/") : QStringLiteral("/chart/"), file, 0, 0);
    };

    const QString today = QStringLiteral("今日の天気");
    rows << submenuRow(today, QStringLiteral("menu_chart_today_"));
    own(today, QStringLiteral("天気のツボ (昼)"), QStringLiteral("menu_chart_today"), 1, 2,
        QStringLiteral("/imagedata/tubo/"), QStringLiteral("LBWwb_tubo_1.jpg"), 9600, 7300);
    own(today, QStringLiteral("天気のツボ (夜)"), QStringLiteral("menu_chart_today"), 2, 2,
        QStringLiteral("/imagedata/tubo/"), QStringLiteral("LBWwb_tubo_2.jpg"), 9600, 7300);
    own(today, QStringLiteral("実況天気図"), QStringLiteral("menu_chart_today"), 3, 2,
        QStringLiteral("/imagedata/chart/"), QStringLiteral("LBWwb_asas.jpg"), 9600, 7300);
    own(today, QStringLiteral("予想天気図"), QStringLiteral("menu_chart_today"), 4, 2,
        QStringLiteral("/imagedata/chart/"), QStringLiteral("LBWwb_fsas.jpg"), 9600, 7300);

    const QString tv = QStringLiteral("TV用解説図");
    const QString tvToday = tv + arrow + QStringLiteral("今日の天気");
    const QString cgimg = QStringLiteral("/weather/cgimg/");
    rows << submenuRow(tv, QStringLiteral("menu_TV"));
    rows << submenuRow(tvToday, QStringLiteral("menu_TV_today"));
    own(tvToday, QStringLiteral("天気概況"), QStringLiteral("menu_TV_today_gaikyou"), -1, 7, cgimg,
        QStringLiteral("today-i.jpg"), 9100, 5250);
    own(tvToday, QStringLiteral("予想最低気温"), QStringLiteral("menu_TV_today_minTemp"), -1, 7,
        cgimg, QStringLiteral("low-temp-i.jpg"), 9100, 5250);
    own(tvToday, QStringLiteral("予想最高気温"), QStringLiteral("menu_TV_today_maxTemp"), -1, 7,
        cgimg, QStringLiteral("high-temp-i.jpg"), 9100, 5250);
    own(tvToday, QStringLiteral("降水確率"), QStringLiteral("menu_TV_today_rain"), -1, 7, cgimg,
        QStringLiteral("precip-i.jpg"), 9100, 5250);
    own(tv, QStringLiteral("明日の天気"), QStringLiteral("menu_TV_tomorrow"), -1, 7, cgimg,
        QStringLiteral("tomorrow-i.jpg"), 9100, 5250);
    own(tv, QStringLiteral("週間予報"), QStringLiteral("menu_TV_forecast"), -1, 7, cgimg,
        QStringLiteral("oneweek-i.jpg"), 9100, 5250);
    own({}, QStringLiteral("Yahoo 空港天気予報"), QStringLiteral("menu_yahoo"), -1, 9,
        QStringLiteral("/weather/jp/leisure/airport/"), {}, 0, 0);

    rows << separatorRow({}, QStringLiteral("menu_lne0"));
    pdf(QStringLiteral("速報天気図"), QStringLiteral("menu_SPAS"), 5, QStringLiteral("SPAS.pdf"));
    pdf(QStringLiteral("アジア地上解析図"), QStringLiteral("menu_ASAS"), 5,
        QStringLiteral("ASAS.pdf"));
    pdf(QStringLiteral("アジア 850,700hPa 高層天気図"), QStringLiteral("menu_AUPQ78"), 5,
        QStringLiteral("AUPQ78.pdf"));
    pdf(QStringLiteral("アジア 500,300hPa 高層天気図"), QStringLiteral("menu_AUPQ35"), 5,
        QStringLiteral("AUPQ35.pdf"));
    pdf(QStringLiteral("アジア太平洋 200hPa 高度・気温・風・圏界面図"),
        QStringLiteral("manu_AUPA20"), 5, QStringLiteral("AUPA20.pdf"));
    pdf(QStringLiteral("極東 500,700hPa 天気図"), QStringLiteral("menu_AXFE578"), 5,
        QStringLiteral("AXFE578.pdf"));
    pdf(QStringLiteral("国内航空路断面図"), QStringLiteral("menu_FXJP"), 6,
        QStringLiteral("FXJP106.pdf"));
    pdf(QStringLiteral("高層断面図"), QStringLiteral("menu_AXJP140"), 5,
        QStringLiteral("AXJP140.pdf"));
    pdf(QStringLiteral("悪天予想図 - 6時間予想"), QStringLiteral("menu_FBJP"), 6,
        QStringLiteral("FBJP.pdf"));
    pdf(QStringLiteral("悪天予想図 - 12時間予想"), QStringLiteral("menu_FBJP112"), 6,
        QStringLiteral("FBJP412.pdf"));
    pdf(QStringLiteral("広域雲解析情報図 - 北半球"), QStringLiteral("menu_TSAS1"), 6,
        QStringLiteral("TSAS1.pdf"));
    pdf(QStringLiteral("広域雲解析情報図 - 南半球"), QStringLiteral("menu_TSAS2"), 6,
        QStringLiteral("TSAS2.pdf"));
    pdf(QStringLiteral("北半球 500hPa 高度・気温天気図"), QStringLiteral("menu_AUXN50"), 5,
        QStringLiteral("AUXN50.pdf"));
    rows << separatorRow({}, QStringLiteral("menu_lne1"));
    pdf(QStringLiteral("アジア地上24時間予想天気図"), QStringLiteral("menu_FSAS24"), 5,
        QStringLiteral("FSAS.pdf"));
    pdf(QStringLiteral("アジア地上48時間予想天気図"), QStringLiteral("menu_FSAS48"), 5,
        QStringLiteral("FSAS48.pdf"));
    pdf(QStringLiteral("500hPa 高度・渦度 12/24時間予想図"), QStringLiteral("menu_FXFE502"), 5,
        QStringLiteral("FXFE502.pdf"));
    pdf(QStringLiteral("500hPa 高度・渦度 36/48時間予想図"), QStringLiteral("menu_FXFE504"), 5,
        QStringLiteral("FXFE504.pdf"));
    pdf(QStringLiteral("500hPa 高度・渦度 72時間予想図"), QStringLiteral("menu_FXFE507"), 5,
        QStringLiteral("FXFE507.pdf"));
    pdf(QStringLiteral("極東 850hPa 気温・風、700hPa 上昇流 12/24時間予想図"),
        QStringLiteral("menu_FXFE5782"), 5, QStringLiteral("FXFE5782.pdf"));
    pdf(QStringLiteral("極東 850hPa 気温・風、700hPa 上昇流 36/48時間予想図"),
        QStringLiteral("menu_FXFE5784"), 5, QStringLiteral("FXFE5784.pdf"));
    pdf(QStringLiteral("極東 850hPa 気温・風、700hPa 上昇流 72時間予想図"),
        QStringLiteral("menu_FXFE577"), 5, QStringLiteral("FXFE577.pdf"));
    pdf(QStringLiteral("日本 850hPa 風・相当温位予想図"), QStringLiteral("menu_FXJP854"), 5,
        QStringLiteral("FXJP854.pdf"));
    rows << separatorRow({}, QStringLiteral("menu_lne2"));
    pdf(QStringLiteral("週間予報支援図"), QStringLiteral("menu_FXXN519"), 5,
        QStringLiteral("FXXN519.pdf"));
    pdf(QStringLiteral("週間予報支援図 （アンサンブル）"), QStringLiteral("menu_FZCX50"), 5,
        QStringLiteral("FZCX50.pdf"));
    pdf(QStringLiteral("週間アンサンブル予想図"), QStringLiteral("menu_FEFE19"), 5,
        QStringLiteral("FEFE19.pdf"));
    rows << separatorRow({}, QStringLiteral("menu_lne4"));

    const QString typhoon = QStringLiteral("台風情報");
    const QString typh = QStringLiteral("/typh/images/");
    rows << submenuRow(typhoon, QStringLiteral("menu_chart_typoon_"));
    parentOwn(typhoon, QStringLiteral("アジア広域"), QStringLiteral("menu_chart_typoon"), 1, 3,
              typh, QStringLiteral("asia_l.jpg"), 10200, 7800);
    parentOwn(typhoon, QStringLiteral("日本広域"), QStringLiteral("menu_chart_typoon"), 2, 3, typh,
              QStringLiteral("koiki_l.jpg"), 10200, 7800);
    parentOwn(typhoon, QStringLiteral("日本拡大"), QStringLiteral("menu_chart_typoon"), 3, 3, typh,
              QStringLiteral("kakudai_l.jpg"), 10200, 7800);

    // AMeDAS: the published table crosses four submenus with nine items.
    const QString amedas = QStringLiteral("アメダス");
    rows << submenuRow(amedas, QStringLiteral("menu_chart_amedas"));
    const struct
    {
        const char *caption, *control, *kind;
    } amedasMenus[] = {{"降水量", "menu_chart_amedas_rain", "rain"},
                       {"風向・風速", "menu_chart_amedas_wind", "wind"},
                       {"気温", "menu_chart_amedas_temp", "temp"},
                       {"日照", "menu_chart_amedas_sun", "sun"}};
    const struct
    {
        const char *caption, *region;
    } amedasItems[] = {{"全国", "zen"},
                       {nullptr, nullptr},
                       {"北海道", "hokkaido"},
                       {"東北", "tohoku"},
                       {"関東・甲信越", "kanto"},
                       {"東海・北陸・近畿", "kinki"},
                       {"中国・四国", "chushikoku"},
                       {"九州", "kyushu"},
                       {"沖縄", "okinawa"}};
    for (const auto &menu : amedasMenus) {
        const QString caption = QString::fromUtf8(menu.caption);
        const QString path = amedas + arrow + caption;
        const QString control = QLatin1String(menu.control);
        rows << submenuRow(path, control + QLatin1Char('_'));
        for (int i = 0; i < 9; ++i) {
            if (!amedasItems[i].caption) {
                rows << separatorRow(path, control, i);
                continue;
            }
            const QString item = QString::fromUtf8(amedasItems[i].caption);
            rows << entryRow(
                path + arrow + item, control, i, 3, QStringLiteral("/amedas/images/"),
                QStringLiteral("amedas-%1-b-%2.jpg")
                    .arg(QLatin1String(menu.kind), QLatin1String(amedasItems[i].region)),
                QStringLiteral("アメダス - ") + caption + QStringLiteral(" - ") + item, 10200,
                7800);
        }
    }

    const QString now = QStringLiteral("レーダーアメダス合成図 (現況)");
    rows << submenuRow(now, QStringLiteral("menu_chart_radaramedas_"));
    parentOwn(now, QStringLiteral("日本全図"), QStringLiteral("menu_chart_radaramedas"), 1, 1,
              QStringLiteral("/"), QStringLiteral("rdam/rd0_jp.gif"), 10200, 10150);
    parentOwn(now, QStringLiteral("南日本"), QStringLiteral("menu_chart_radaramedas"), 2, 1,
              QStringLiteral("/"), QStringLiteral("rdam/rd0_sjp.gif"), 10200, 10150);
    const QString forecast = QStringLiteral("レーダーアメダス合成図 (6時間予報)");
    const QString forecastControl = QStringLiteral("menu_chart_radaramedas_forcast");
    rows << submenuRow(forecast, forecastControl + QLatin1Char('_'));
    parentOwn(forecast, QStringLiteral("北日本"), forecastControl, 1, 1, QStringLiteral("/"),
              QStringLiteral("rdam/rd8_hjp.gif"), 10200, 6600);
    parentOwn(forecast, QStringLiteral("南日本"), forecastControl, 2, 1, QStringLiteral("/"),
              QStringLiteral("rdam/rd8_mjp.gif"), 10200, 6600);
    parentOwn(forecast, QStringLiteral("南西諸島"), forecastControl, 3, 1, QStringLiteral("/"),
              QStringLiteral("rdam/rd8_ljp.gif"), 10200, 6600);
    const QString past = QStringLiteral("レーダーアメダス合成図 (過去24時間)");
    const QString pastControl = QStringLiteral("menu_chart_radaramedas_sequence");
    rows << submenuRow(past, pastControl + QLatin1Char('_'));
    parentOwn(past, QStringLiteral("北日本"), pastControl, 1, 1, QStringLiteral("/"),
              QStringLiteral("rdam/rd7_hjp.gif"), 10200, 6600);
    parentOwn(past, QStringLiteral("南日本"), pastControl, 2, 1, QStringLiteral("/"),
              QStringLiteral("rdam/rd7_mjp.gif"), 10200, 6600);
    parentOwn(past, QStringLiteral("南西諸島"), pastControl, 3, 1, QStringLiteral("/"),
              QStringLiteral("rdam/rd7_ljp.gif"), 10200, 6600);
    rows << separatorRow({}, QStringLiteral("menu_lne3"));

    own({}, QStringLiteral("広域合成レーダー"), QStringLiteral("menu_chart_kouikiradar"), -1, 8,
        QStringLiteral("/img/summary/"), QStringLiteral("radar_Area80.png"), 7400, 7400);
    const QString radar = QStringLiteral("合成レーダー");
    rows << submenuRow(radar, QStringLiteral("menu_chart_radar_"));
    const char *const radarItems[][2] = {{"北海道", "RSAP"},
                                         {"東北北部", "RNTH"},
                                         {"東北南部・関東", "RKNT"},
                                         {"東海・近畿", "RWTK"},
                                         {"中国・四国・九州北部", "RCGK"},
                                         {"九州南部", "RNKG"},
                                         {"沖縄東部", "RNAH"},
                                         {"沖縄西部", "RISG"}};
    for (int i = 0; i < 8; ++i)
        parentOwn(radar, QString::fromUtf8(radarItems[i][0]), QStringLiteral("menu_chart_radar"), i,
                  3, QStringLiteral("/radar/images/"),
                  QStringLiteral("radar%1.jpg").arg(QLatin1String(radarItems[i][1])), 10200, 7800);
    const QString sat = QStringLiteral("気象衛星");
    rows << submenuRow(sat, QStringLiteral("menu_chart_sat_"));
    parentOwn(sat, QStringLiteral("日本付近"), QStringLiteral("menu_chart_sat"), 1, 4,
              QStringLiteral("/"), QStringLiteral("FE/00Latest.jpg"), 10200, 7800);
    parentOwn(sat, QStringLiteral("クイックルック"), QStringLiteral("menu_chart_sat"), 2, 4,
              QStringLiteral("/"), QStringLiteral("QL/00Latest.jpg"), 9300, 9300);
    return rows;
}

/// Walks the built menu depth first, choosing every entry, and describes what each line does.
void walk(QMenu *menu, const QString &path, const SourceHosts &hosts, const ChartChoice *&chosen,
          QList<Row> &rows)
{
    const auto at = [&](const QString &caption) {
        return path.isEmpty() ? caption : path + arrow + caption;
    };
    for (QAction *action : menu->actions()) {
        const QVariant index = action->property("index");
        if (action->menu()) {
            rows << submenuRow(at(action->text()), action->menu()->objectName());
            walk(action->menu(), at(action->text()), hosts, chosen, rows);
        } else if (action->isSeparator()) {
            rows << separatorRow(path, action->objectName(), index.isValid() ? index.toInt() : -1);
        } else {
            chosen = nullptr;
            action->trigger();
            if (!chosen) {
                rows << at(action->text()) + QStringLiteral(" | chooses nothing");
                continue;
            }
            const ChartItem &item = *chosen->item;
            const DocumentAddress address =
                chartAddress(hosts, item.source,
                             QString::fromUtf8(item.basePath) + QString::fromUtf8(item.file));
            const QString size = item.maximised()
                                     ? QStringLiteral("maximised")
                                     : QStringLiteral("%1x%2").arg(item.width).arg(item.height);
            rows << QStringList{at(action->text()),
                                action->objectName() +
                                    (index.isValid() ? QStringLiteral("(%1)").arg(index.toInt())
                                                     : QString()),
                                address.url(), chosen->title, size}
                        .join(QStringLiteral(" | "));
        }
    }
}

} // namespace

class TestWebCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void chartMenuMatchesCatalogue_data();
    void chartMenuMatchesCatalogue();
    void separatorsCannotBeChosen();
    void cameraCatalogue_data();
    void cameraCatalogue();
    void documentAddress_data();
    void documentAddress();
    void notConfiguredPageNamesTheSource();
    void jmaMenuMatchesTheAgencysCharts_data();
    void jmaMenuMatchesTheAgencysCharts();
    void jmaMenuWithoutTargetsSaysSo();
    void newestRunByTheClock_data();
    void newestRunByTheClock();
    void runBefore_data();
    void runBefore();
    void loadFailedPageSaysWhatHappened_data();
    void loadFailedPageSaysWhatHappened();
    void checkFetchesTheFirstEntryOfItsMenu_data();
    void checkFetchesTheFirstEntryOfItsMenu();
    void aviationGroupPutsTheShownAirportFirst();
    void crossSectionIssueByTheClock_data();
    void crossSectionIssueByTheClock();
    void briefingPageLeavesOutWhatItCannotShow();

private:
    QList<Row> m_built;
};

void TestWebCatalogue::initTestCase()
{
    QMenu menu;
    ChartChoice last{nullptr, {}};
    const ChartChoice *chosen = nullptr;
    BuildChartMenu(&menu, [&](const ChartChoice &choice) {
        last = choice;
        chosen = &last;
    });
    SourceHosts hosts;
    for (int source = 1; source <= 9; ++source)
        hosts.insert(QStringLiteral("chart%1").arg(source), hostOf(source));
    walk(&menu, {}, hosts, chosen, m_built);
}

void TestWebCatalogue::chartMenuMatchesCatalogue_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    const QList<Row> expected = expectedRows();
    for (int i = 0; i < expected.size(); ++i)
        QTest::addRow("%d %s", i, qPrintable(expected[i].section(QLatin1Char('|'), 0, 0)))
            << i << expected[i];
    // One extra row catches a menu longer than the catalogue.
    QTest::addRow("end") << int(expected.size()) << QString();
}

void TestWebCatalogue::chartMenuMatchesCatalogue()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    QCOMPARE(m_built.value(line), expected);
}

void TestWebCatalogue::separatorsCannotBeChosen()
{
    QMenu menu;
    int chosen = 0;
    BuildChartMenu(&menu, [&](const ChartChoice &) { ++chosen; });
    int found = 0;
    for (QAction *action : menu.findChildren<QAction *>()) {
        if (!action->isSeparator())
            continue;
        ++found;
        // Even a forced trigger of a separator line must not choose a document.
        action->trigger();
    }
    QCOMPARE(found, 5 + 4); // menu_lne0..4 and index 1 of each AMeDAS submenu
    QCOMPARE(chosen, 0);
}

void TestWebCatalogue::cameraCatalogue_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("height");
    const auto row = [](int index, const char *caption, const char *control, int source,
                        const char *path, int height) {
        QTest::addRow("%s", control)
            << index << QString::fromUtf8(caption) << QString::fromLatin1(control) << source
            << QString::fromLatin1(path) << height;
    };
    row(0, "新千歳空港", "menu_shinnchitose", 1, "/cameraimg/shinchitose_L.jpg", 6600);
    row(1, "札幌", "menu_sapporo", 1, "/cameraimg/sapporo_L.jpg", 6600);
    row(2, "旭川", "menu_asahikawa", 1, "/cameraimg/asahikawa_L.jpg", 6600);
    row(3, "函館", "menu_hakodate", 1, "/cameraimg/hakodate_L.jpg", 6600);
    row(4, "帯広", "menu_obihiro", 1, "/cameraimg/obihiro_L.jpg", 6600);
    row(5, "釧路", "menu_kushiro", 1, "/cameraimg/kushiro_L.jpg", 6600);
    row(6, "仙台空港", "menu_sendai", 2, "/liveimage/live-sendai-east.jpg", 8400);
    row(7, "福島空港", "menu_fukushima", 3, "/kukouoffice/photo1.jpg", 8400);
    row(8, "秋田空港", "menu_akita", 4, "/img/camera.php", 8400);
    row(9, "小松空港", "menu_komatsu", 5, "/-wvhttp-01-/GetOneShot", 8400);
    row(10, "広島空港", "menu_hiroshima", 6, "/HIROSHIMA-AIRPORT/camera.jpg", 8400);
}

void TestWebCatalogue::cameraCatalogue()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, control);
    QFETCH(int, source);
    QFETCH(QString, path);
    QFETCH(int, height);
    const CameraCatalogue cameras = ::cameraCatalogue();
    QCOMPARE(cameras.count, 11);
    const CameraItem &camera = cameras.items[index];
    QCOMPARE(QString::fromUtf8(camera.caption), caption);
    QCOMPARE(QString::fromLatin1(camera.control), control);
    QCOMPARE(camera.source, source);
    QCOMPARE(QString::fromLatin1(camera.path), path);
    QCOMPARE(camera.windowHeight, height);
    QCOMPARE(cameraAddress({}, camera.source, path).sourceName,
             QStringLiteral("camera%1").arg(source));
}

void TestWebCatalogue::documentAddress_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("configured");
    QTest::addColumn<QString>("url");
    const QString path = QStringLiteral("/tecweather/SPAS.pdf");
    QTest::newRow("host") << true << QStringLiteral("https://c.example") << true
                          << QStringLiteral("https://c.example/tecweather/SPAS.pdf");
    QTest::newRow("trailing slash") << true << QStringLiteral("https://c.example//") << true
                                    << QStringLiteral("https://c.example/tecweather/SPAS.pdf");
    QTest::newRow("blanks around") << true << QStringLiteral(" https://c.example ") << true
                                   << QStringLiteral("https://c.example/tecweather/SPAS.pdf");
    QTest::newRow("empty") << true << QString() << false << path;
    QTest::newRow("blank") << true << QStringLiteral("   ") << false << path;
    QTest::newRow("missing") << false << QString() << false << path;
}

void TestWebCatalogue::documentAddress()
{
    QFETCH(bool, present);
    QFETCH(QString, host);
    QFETCH(bool, configured);
    QFETCH(QString, url);
    SourceHosts hosts{{QStringLiteral("chart4"), QStringLiteral("https://other.example")}};
    if (present)
        hosts.insert(QStringLiteral("chart5"), host);
    const DocumentAddress address = chartAddress(hosts, 5, QStringLiteral("/tecweather/SPAS.pdf"));
    QCOMPARE(address.sourceName, QStringLiteral("chart5"));
    QCOMPARE(address.configured(), configured);
    QCOMPARE(address.url(), url);
    QCOMPARE(cameraAddress(hosts, 5, QStringLiteral("/x.jpg")).sourceName,
             QStringLiteral("camera5"));
}

void TestWebCatalogue::notConfiguredPageNamesTheSource()
{
    const QString chart =
        notConfiguredPage(chartAddress({}, 3, QStringLiteral("/radar/images/radarRSAP.jpg")),
                          QStringLiteral("合成レーダー - <北海道>"));
    QVERIFY(chart.contains(QStringLiteral("天気図の配信元 3")));
    QVERIFY(chart.contains(QStringLiteral("chart3")));
    QVERIFY(chart.contains(QStringLiteral("/radar/images/radarRSAP.jpg")));
    QVERIFY(chart.contains(QStringLiteral("設定されていません")));
    // The title is text, never markup.
    QVERIFY(chart.contains(QStringLiteral("&lt;北海道&gt;")));
    QVERIFY(!chart.contains(QStringLiteral("<北海道>")));

    const QString camera = notConfiguredPage(
        cameraAddress({}, 4, QStringLiteral("/img/camera.php")), QStringLiteral("秋田空港"));
    QVERIFY(camera.contains(QStringLiteral("ライブカメラの配信元 4")));
    QVERIFY(camera.contains(QStringLiteral("camera4")));

    // The agency's hosts have no number: named by their label.
    const QString agency =
        notConfiguredPage(jmaAddress({}, jmaCatalogue().items[0], QDateTime::currentDateTimeUtc()),
                          QStringLiteral("アジア太平洋地上天気図 (カラー)"));
    QVERIFY2(agency.contains(QStringLiteral("気象庁 (")), qPrintable(agency));
    QVERIFY(agency.contains(QStringLiteral("(<code>jma</code>)")));
    QVERIFY(!agency.contains(QStringLiteral("配信元 0")));
}

void TestWebCatalogue::jmaMenuMatchesTheAgencysCharts_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    // 05:00 UTC: the 00 run is out; the previous one is the day before's 12.
    const QString jma = QStringLiteral("https://www.data.jma.go.jp");
    const QString quick = jma + QStringLiteral("/yoho/data/wxchart/quick/");
    const QString nwp = QStringLiteral("https://www.jma.go.jp/bosai/numericmap/data/nwpmap/");
    const auto fixed = [](const char *caption, const char *control, const QString &url) {
        return QStringList{QString::fromUtf8(caption),
                           QString::fromLatin1(control),
                           url,
                           {},
                           QStringLiteral("maximised")}
            .join(QStringLiteral(" | "));
    };
    const auto run = [&](const char *caption, const char *control, const char *chart) {
        return QStringList{QString::fromUtf8(caption), QString::fromLatin1(control),
                           nwp + QLatin1String(chart) + QStringLiteral("_00.pdf"),
                           nwp + QLatin1String(chart) + QStringLiteral("_12.pdf"),
                           QStringLiteral("maximised")}
            .join(QStringLiteral(" | "));
    };
    const auto taf = [&](const char *caption, const char *icao,
                         const char *control = "menu_jma_taf") {
        return QStringList{QString::fromUtf8(caption),
                           QString::fromLatin1(control),
                           jma + QStringLiteral("/airinfo/data/pict/taf/QMCD98_") +
                               QLatin1String(icao) + QStringLiteral(".png"),
                           {},
                           QStringLiteral("natural size")}
            .join(QStringLiteral(" | "));
    };
    const QStringList rows{
        fixed("アジア太平洋地上天気図 (カラー)", "menu_jma_ASAS_COLOR",
              quick + QStringLiteral("ASAS_COLOR.pdf")),
        fixed("アジア太平洋地上天気図 (白黒)", "menu_jma_ASAS_MONO",
              quick + QStringLiteral("ASAS_MONO.pdf")),
        QStringLiteral("- | menu_jma_lne0"),
        fixed("アジア太平洋地上 24時間予想天気図", "menu_jma_FSAS24",
              quick + QStringLiteral("FSAS24_COLOR_ASIA.pdf")),
        fixed("アジア太平洋地上 48時間予想天気図", "menu_jma_FSAS48",
              quick + QStringLiteral("FSAS48_COLOR_ASIA.pdf")),
        QStringLiteral("- | menu_jma_lne1"),
        run("AUPQ35 アジア500hPa・300hPa 高層天気図", "menu_jma_AUPQ35", "aupq35"),
        run("AUPQ78 アジア850hPa・700hPa 高層天気図", "menu_jma_AUPQ78", "aupq78"),
        run("AUPA20 アジア太平洋200hPa 高層天気図", "menu_jma_AUPA20", "aupa20"),
        run("AUPA25 アジア太平洋250hPa 高層天気図", "menu_jma_AUPA25", "aupa25"),
        QStringLiteral("- | menu_jma_lne2"),
        run("FXFE502 極東地上気圧・500hPa高度 12・24時間予想図", "menu_jma_FXFE502", "fxfe502"),
        run("FXFE5782 極東850hPa気温・700hPa湿数 12・24時間予想図", "menu_jma_FXFE5782",
            "fxfe5782"),
        run("FXJP854 日本850hPa相当温位・風 予想図", "menu_jma_FXJP854", "fxjp854"),
        QStringLiteral("- | menu_jma_lne3"),
        // The shown airport above the list, which keeps its order.
        taf("飛行場時系列予報 東京(羽田) (RJTT) (表示中)", "RJTT", "menu_jma_taf_shown"),
        taf("飛行場時系列予報 新千歳 (RJCC)", "RJCC"),
        taf("飛行場時系列予報 東京(羽田) (RJTT)", "RJTT"), taf("飛行場時系列予報 ZZZZ", "ZZZZ"),
        QStringLiteral("▸ 航空気象 | menu_jma_aviation"), // the briefing charts' own test
        QString(),                                        // nothing after the group
    };
    for (int i = 0; i < rows.size(); ++i)
        QTest::addRow("%d %s", i, qPrintable(rows[i].section(QLatin1Char('|'), 0, 0)))
            << i << rows[i];
}

void TestWebCatalogue::jmaMenuMatchesTheAgencysCharts()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    QMenu menu;
    std::optional<JmaChoice> chosen;
    // In the list's order with the shown one marked, as the ticker sends them; one the
    // catalogue does not know.
    BuildJmaMenu(&menu,
                 {{QStringLiteral("RJCC"), QStringLiteral("新千歳")},
                  {QStringLiteral("RJTT"), QStringLiteral("東京(羽田)"), true},
                  {QStringLiteral("ZZZZ"), QString()}},
                 [&](const JmaChoice &choice) { chosen = choice; });
    const SourceHosts hosts{{QStringLiteral("jma"), QStringLiteral("https://www.data.jma.go.jp")},
                            {QStringLiteral("jmabosai"), QStringLiteral("https://www.jma.go.jp/")}};
    const QDateTime now(QDate(2024, 7, 1), QTime(5, 0), QTimeZone::utc());
    QList<Row> built;
    for (QAction *action : menu.actions()) {
        if (action->isSeparator()) {
            built << QStringLiteral("- | ") + action->objectName();
            continue;
        }
        if (action->menu()) {
            built << QStringLiteral("▸ ") + action->text() + QStringLiteral(" | ") +
                         action->objectName();
            continue;
        }
        chosen.reset();
        action->trigger();
        QVERIFY2(chosen, qPrintable(action->text()));
        // The window's caption names the airport alone.
        QCOMPARE(chosen->title, action->text().remove(QStringLiteral(" (表示中)")));
        const DocumentAddress address = jmaAddress(hosts, *chosen->item, now, chosen->icao);
        built << QStringList{action->text(), action->objectName(), address.url(),
                             address.fallbackUrl(),
                             chosen->item->maximised() ? QStringLiteral("maximised")
                                                       : QStringLiteral("natural size")}
                     .join(QStringLiteral(" | "));
    }
    QCOMPARE(built.value(line), expected);
}

void TestWebCatalogue::jmaMenuWithoutTargetsSaysSo()
{
    QMenu menu;
    int chosen = 0;
    BuildJmaMenu(&menu, {{QStringLiteral("RJAA"), QStringLiteral("成田")}},
                 [&](const JmaChoice &) { ++chosen; });
    // Built again with no targets: the old entries go, one disabled line stands for them.
    BuildJmaMenu(&menu, {}, [&](const JmaChoice &) { ++chosen; });
    const QList<QAction *> taf = menu.findChildren<QAction *>(QStringLiteral("menu_jma_taf"));
    QCOMPARE(taf.size(), 1);
    QVERIFY(!taf.first()->isEnabled());
    QVERIFY(taf.first()->text().contains(QStringLiteral("ターゲットがありません")));
    QCOMPARE(menu.actions().size(), 11 + 4 + 1 + 1); // charts, separators, the line, the group
    taf.first()->trigger();
    QCOMPARE(chosen, 0);
}

void TestWebCatalogue::newestRunByTheClock_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("run");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fallback");
    const auto utc = [](int y, int m, int d, int h, int min) {
        return QDateTime(QDate(y, m, d), QTime(h, min), QTimeZone::utc());
    };
    const QString dir = QStringLiteral("/bosai/numericmap/data/nwpmap/");
    const QString at00 = dir + QStringLiteral("aupq35_00.pdf");
    const QString at12 = dir + QStringLiteral("aupq35_12.pdf");
    QTest::newRow("03:59") << utc(2024, 7, 2, 3, 59) << utc(2024, 7, 1, 12, 0) << at12 << at00;
    QTest::newRow("04:00") << utc(2024, 7, 2, 4, 0) << utc(2024, 7, 2, 0, 0) << at00 << at12;
    QTest::newRow("15:59") << utc(2024, 7, 2, 15, 59) << utc(2024, 7, 2, 0, 0) << at00 << at12;
    QTest::newRow("16:00") << utc(2024, 7, 2, 16, 0) << utc(2024, 7, 2, 12, 0) << at12 << at00;
    QTest::newRow("23:59") << utc(2024, 7, 2, 23, 59) << utc(2024, 7, 2, 12, 0) << at12 << at00;
    QTest::newRow("00:00") << utc(2024, 7, 2, 0, 0) << utc(2024, 7, 1, 12, 0) << at12 << at00;
    QTest::newRow("a month's end")
        << utc(2024, 3, 1, 2, 0) << utc(2024, 2, 29, 12, 0) << at12 << at00;
    QTest::newRow("a year's end") << utc(2025, 1, 1, 3, 30) << utc(2024, 12, 31, 12, 0) << at12
                                  << at00;
    // The clock in Japan: 12:59 JST is 03:59 UTC.
    QTest::newRow("local time") << QDateTime(QDate(2024, 7, 2), QTime(12, 59),
                                             QTimeZone(QByteArrayLiteral("Asia/Tokyo")))
                                << utc(2024, 7, 1, 12, 0) << at12 << at00;
}

void TestWebCatalogue::runBefore_data()
{
    QTest::addColumn<QDateTime>("run");
    QTest::addColumn<QDateTime>("before");
    const auto utc = [](int y, int m, int d, int h) {
        return QDateTime(QDate(y, m, d), QTime(h, 0), QTimeZone::utc());
    };
    QTest::newRow("12 to 00") << utc(2024, 7, 2, 12) << utc(2024, 7, 2, 0);
    QTest::newRow("00 to the day before's 12") << utc(2024, 7, 2, 0) << utc(2024, 7, 1, 12);
    QTest::newRow("past a leap day") << utc(2024, 3, 1, 0) << utc(2024, 2, 29, 12);
    QTest::newRow("past a year's end") << utc(2025, 1, 1, 0) << utc(2024, 12, 31, 12);
}

void TestWebCatalogue::runBefore()
{
    QFETCH(QDateTime, run);
    QFETCH(QDateTime, before);
    QCOMPARE(jmaPreviousRun(run), before);
}

void TestWebCatalogue::newestRunByTheClock()
{
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, run);
    QFETCH(QString, path);
    QFETCH(QString, fallback);
    QCOMPARE(jmaNewestRun(now), run);
    const JmaCatalogue charts = jmaCatalogue();
    const auto aupq35 =
        std::find_if(charts.items, charts.items + charts.count, [](const JmaItem &item) {
            return qstrcmp(item.control, "menu_jma_AUPQ35") == 0;
        });
    QVERIFY(aupq35 != charts.items + charts.count);
    const DocumentAddress address = jmaAddress(
        {{QStringLiteral("jmabosai"), QStringLiteral("http://127.0.0.1:1")}}, *aupq35, now);
    QCOMPARE(address.sourceName, QStringLiteral("jmabosai"));
    QCOMPARE(address.path, path);
    QCOMPARE(address.fallbackPaths, QStringList{fallback});
    // A fixed chart has nothing to fall back to.
    QCOMPARE(jmaAddress({}, charts.items[0], now).fallbackUrl(), QString());
}

void TestWebCatalogue::loadFailedPageSaysWhatHappened_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said");
    QTest::newRow("no answer") << int(LoadFailure::NoAnswer) << 118
                               << QStringLiteral("応答がありません");
    QTest::newRow("name") << int(LoadFailure::NameNotFound) << 105
                          << QStringLiteral("名前が見つかりません");
    QTest::newRow("refused") << int(LoadFailure::Refused) << 102
                             << QStringLiteral("接続を拒否されました");
    QTest::newRow("404") << int(LoadFailure::HttpStatus) << 404 << QStringLiteral("HTTP 404");
    QTest::newRow("503") << int(LoadFailure::HttpStatus) << 503 << QStringLiteral("HTTP 503");
    QTest::newRow("other") << int(LoadFailure::Other) << 999 << QStringLiteral("エラー 999");
}

void TestWebCatalogue::loadFailedPageSaysWhatHappened()
{
    QFETCH(int, failure);
    QFETCH(int, code);
    QFETCH(QString, said);
    const QString url = QStringLiteral("https://www.data.jma.go.jp/a.pdf?x=<b>&y=1");
    const QString page =
        loadFailedPage(url, QStringLiteral("<i>台風</i>"), LoadFailure(failure), code);
    QVERIFY2(page.contains(said), qPrintable(page));
    QVERIFY(page.contains(QStringLiteral("読み込めませんでした")));
    // The address and the title are text, never markup.
    QVERIFY2(page.contains(url.toHtmlEscaped()), qPrintable(page));
    QVERIFY(page.contains(QStringLiteral("&lt;i&gt;台風&lt;/i&gt;")));
    QVERIFY(!page.contains(QStringLiteral("<b>")) && !page.contains(QStringLiteral("<i>")));
}

void TestWebCatalogue::checkFetchesTheFirstEntryOfItsMenu_data()
{
    QTest::addColumn<QString>("name");
    for (const Source &source : AllSources()) {
        if (source.firstDocument == FirstDocument::Chart ||
            source.firstDocument == FirstDocument::Camera ||
            source.firstDocument == FirstDocument::Jma)
            QTest::newRow(source.name) << QString::fromLatin1(source.name);
    }
}

void TestWebCatalogue::checkFetchesTheFirstEntryOfItsMenu()
{
    // "確認" must fetch what the window would show first from that source, at any hour.
    QFETCH(QString, name);
    const Source &source = *FindSource(name);
    const QString host = QStringLiteral("https://check.example");
    const SourceHosts hosts{{name, host}};
    for (int hour : {2, 9, 17}) {
        const QDateTime now(QDate(2026, 12, 8), QTime(hour, 0), QTimeZone::utc());
        std::optional<DocumentAddress> first;
        if (source.firstDocument == FirstDocument::Chart) {
            const ChartCatalogue charts = ::chartCatalogue();
            for (int i = 0; i < charts.count && !first; ++i) {
                const ChartItem &item = charts.items[i];
                if (item.kind == ChartItemKind::Entry && item.source == source.number)
                    first = chartAddress(hosts, item.source,
                                         QString::fromUtf8(item.basePath) +
                                             QString::fromUtf8(item.file));
            }
        } else if (source.firstDocument == FirstDocument::Camera) {
            const CameraCatalogue cameras = ::cameraCatalogue();
            for (int i = 0; i < cameras.count && !first; ++i) {
                if (cameras.items[i].source == source.number)
                    first = cameraAddress(hosts, source.number,
                                          QString::fromUtf8(cameras.items[i].path));
            }
        } else {
            const JmaCatalogue charts = jmaCatalogue();
            for (int i = 0; i < charts.count && !first; ++i) {
                const JmaItem &item = charts.items[i];
                if (item.kind == ChartItemKind::Entry && name == QLatin1String(item.source))
                    first = jmaAddress(hosts, item, now);
            }
        }
        QVERIFY2(first, "the source has no entry in its menu");
        const CheckDocument check = FirstDocumentOf(source, host, QStringLiteral("RJTT"), now);
        QCOMPARE(check.url, first->url());
        QCOMPARE(check.fallbackUrl, first->fallbackUrl());
    }
}

void TestWebCatalogue::aviationGroupPutsTheShownAirportFirst()
{
    QMenu menu;
    std::optional<JmaChoice> chosen;
    BuildJmaMenu(
        &menu,
        {{QStringLiteral("RJCC"), QStringLiteral("新千歳"), false, QStringLiteral("北海道")},
         {QStringLiteral("ROAH"), QStringLiteral("那覇"), true, QStringLiteral("沖縄"),
          QStringLiteral("METAR ROAH 100530Z")}},
        [&](const JmaChoice &choice) { chosen = choice; });
    const QMenu *group = menu.actions().last()->menu();
    QVERIFY(group);
    QStringList lines;
    for (QAction *action : group->actions())
        lines << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(
        lines,
        (QStringList{
            "国内悪天予想図 (FBJP)", "-", "下層悪天予想図 沖縄 (表示中)", "下層悪天予想図 北海道",
            "下層悪天予想図 東北", "下層悪天予想図 東日本", "下層悪天予想図 西日本",
            "下層悪天予想図 奄美", "-", "国内航空路6・12時間予想断面図 (FXJP106)", "-",
            "飛行場時系列予報 Part 2 那覇 (ROAH) (表示中)", "飛行場時系列予報 Part 2 新千歳 (RJCC)",
            "飛行場時系列予報 Part 2 那覇 (ROAH)", "-", "ブリーフィング (表示中の飛行場)"}));
    // Each area's four charts, on the agency's host by the area's code.
    const SourceHosts hosts{{QStringLiteral("jma"), QStringLiteral("https://www.data.jma.go.jp")}};
    const QString lowLevel =
        QStringLiteral("https://www.data.jma.go.jp/airinfo/data/pict/low-level_sigwx/");
    const QMenu *okinawa = group->actions().at(2)->menu();
    QStringList urls;
    for (QAction *action : okinawa->actions()) {
        action->trigger();
        QVERIFY(chosen);
        urls << jmaAddress(hosts, *chosen->item, {}, {}, chosen->areaCode).url();
    }
    QCOMPARE(urls, (QStringList{lowLevel + "fbok03.png", lowLevel + "fbok06.png",
                                lowLevel + "fbok09.png", lowLevel + "fbok39.png"}));
    QCOMPARE(chosen->title, QStringLiteral("下層悪天予想図 沖縄 - 時系列"));
    // The briefing carries the shown airport, its area and its reports.
    group->actions().last()->trigger();
    QCOMPARE(chosen->title, QStringLiteral("ブリーフィング 那覇 (ROAH)"));
    QCOMPARE(chosen->areaCode, QStringLiteral("fbok"));
    QCOMPARE(chosen->target.briefing, QStringLiteral("METAR ROAH 100530Z"));

    // Without targets neither Part 2 nor the briefing can be chosen.
    BuildJmaMenu(&menu, {}, [&](const JmaChoice &choice) { chosen = choice; });
    const QMenu *empty = menu.actions().last()->menu();
    for (const char *control : {"menu_jma_taf2", "menu_jma_briefing"}) {
        const QList<QAction *> found = empty->findChildren<QAction *>(QLatin1String(control));
        QCOMPARE(found.size(), 1);
        QVERIFY(!found.first()->isEnabled());
    }
}

void TestWebCatalogue::crossSectionIssueByTheClock_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("hours"); // asked in this order
    const auto utc = [](int d, int h, int m) {
        return QDateTime(QDate(2024, 3, d), QTime(h, m), QTimeZone::utc());
    };
    QTest::newRow("on the hour") << utc(2, 6, 0) << QStringList{"06", "03", "00", "21"};
    QTest::newRow("a minute before") << utc(2, 5, 59) << QStringList{"03", "00", "21", "18"};
    QTest::newRow("midnight") << utc(2, 0, 0) << QStringList{"00", "21", "18", "15"};
    QTest::newRow("the day's last") << utc(2, 23, 59) << QStringList{"21", "18", "15", "12"};
    QTest::newRow("past a leap day") << utc(1, 2, 0) << QStringList{"00", "21", "18", "15"};
    // 08:30 in Japan is 23:30 UTC the day before.
    QTest::newRow("local time") << QDateTime(QDate(2024, 3, 2), QTime(8, 30),
                                             QTimeZone(QByteArrayLiteral("Asia/Tokyo")))
                                << QStringList{"21", "18", "15", "12"};
}

void TestWebCatalogue::crossSectionIssueByTheClock()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, hours);
    const JmaCatalogue charts = jmaCatalogue();
    const JmaItem *fxjp106 =
        std::find_if(charts.items, charts.items + charts.count, [](const JmaItem &item) {
            return qstrcmp(item.control, "menu_jma_FXJP106") == 0;
        });
    QVERIFY(fxjp106 != charts.items + charts.count);
    const DocumentAddress address = jmaAddress({}, *fxjp106, now);
    QStringList asked{address.path};
    asked += address.fallbackPaths;
    QStringList expected;
    for (const QString &hour : hours)
        expected << QStringLiteral("/airinfo/data/pict/nwp/fxjp106_%1.png").arg(hour);
    QCOMPARE(asked, expected);
    QCOMPARE(jmaIssueText(asked.last()), hours.last() + QStringLiteral(" UTC 発表"));
}

void TestWebCatalogue::briefingPageLeavesOutWhatItCannotShow()
{
    const QDateTime now(QDate(2024, 3, 2), QTime(6, 0), QTimeZone::utc());
    JmaChoice choice{nullptr,
                     QStringLiteral("KJFK"),
                     QStringLiteral("ブリーフィング KJFK"),
                     {},
                     {QStringLiteral("KJFK"), {}, true}};
    const SourceHosts hosts{{QStringLiteral("jma"), QStringLiteral("http://127.0.0.1:1")}};
    // An airport outside the catalogue has no area: four charts, the page says why.
    BriefingPage page = MakeBriefingPage(choice, hosts, now);
    QCOMPARE(page.charts.size(), 4);
    QVERIFY(page.html.contains(QStringLiteral("地域が分からない")));
    QVERIFY(page.html.contains(QStringLiteral("まだ取得されていません")));
    QVERIFY(!page.html.contains(QStringLiteral("low-level_sigwx")));
    // No address for the agency: the page asks for one instead.
    page = MakeBriefingPage(choice, {}, now);
    QVERIFY(page.html.contains(QStringLiteral("アドレスが設定されていません")));
}

QTEST_MAIN(TestWebCatalogue)
#include "test_webcatalogue.moc"
