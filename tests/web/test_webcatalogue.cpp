// The web windows' menus against what the sources' servers publish; document addresses.
#include "platform/HttpFetch.h"
#include "store/Sources.h"
#include "support/LoopbackHttpServer.h"
#include "web/BriefingPage.h"
#include "web/ChartMenu.h"
#include "web/FailurePages.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTimeZone>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

const QString arrow = QStringLiteral(" ▸ ");
const QString bar = QStringLiteral(" | ");

/// The menu "天気図" as the window's interface fixes it, line by line, a submenu's lines indented
/// by two blanks. "▸ caption | control" opens a submenu, with " | title" where it builds its
/// entries' window titles ("%1" the entry's caption; else the caption alone). An entry: caption |
/// control(index) | browser size in twips | a word of its document's address. A separator: - |
/// control(index). "アメダス caption kind" stands for one of the AMeDAS submenus below.
const char chartMenu[] = R"(
▸ 今日の天気 | menu_chart_today_
  天気のツボ (昼) | menu_chart_today(1) | 9600x7300 | tubo_1
  天気のツボ (夜) | menu_chart_today(2) | 9600x7300 | tubo_2
  実況天気図 | menu_chart_today(3) | 9600x7300 | asas
  予想天気図 | menu_chart_today(4) | 9600x7300 | fsas
▸ TV用解説図 | menu_TV
  ▸ 今日の天気 | menu_TV_today
    天気概況 | menu_TV_today_gaikyou | 9100x5250 | /today
    予想最低気温 | menu_TV_today_minTemp | 9100x5250 | low-temp
    予想最高気温 | menu_TV_today_maxTemp | 9100x5250 | high-temp
    降水確率 | menu_TV_today_rain | 9100x5250 | precip
  明日の天気 | menu_TV_tomorrow | 9100x5250 | tomorrow
  週間予報 | menu_TV_forecast | 9100x5250 | oneweek
Yahoo 空港天気予報 | menu_yahoo | maximised | airport
- | menu_lne0
速報天気図 | menu_SPAS | maximised | SPAS
アジア地上解析図 | menu_ASAS | maximised | ASAS
アジア 850,700hPa 高層天気図 | menu_AUPQ78 | maximised | AUPQ78
アジア 500,300hPa 高層天気図 | menu_AUPQ35 | maximised | AUPQ35
アジア太平洋 200hPa 高度・気温・風・圏界面図 | manu_AUPA20 | maximised | AUPA20
極東 500,700hPa 天気図 | menu_AXFE578 | maximised | AXFE578
国内航空路断面図 | menu_FXJP | maximised | FXJP106
高層断面図 | menu_AXJP140 | maximised | AXJP140
悪天予想図 - 6時間予想 | menu_FBJP | maximised | FBJP.
悪天予想図 - 12時間予想 | menu_FBJP112 | maximised | FBJP412
広域雲解析情報図 - 北半球 | menu_TSAS1 | maximised | TSAS1
広域雲解析情報図 - 南半球 | menu_TSAS2 | maximised | TSAS2
北半球 500hPa 高度・気温天気図 | menu_AUXN50 | maximised | AUXN50
- | menu_lne1
アジア地上24時間予想天気図 | menu_FSAS24 | maximised | FSAS.
アジア地上48時間予想天気図 | menu_FSAS48 | maximised | FSAS48
500hPa 高度・渦度 12/24時間予想図 | menu_FXFE502 | maximised | FXFE502
500hPa 高度・渦度 36/48時間予想図 | menu_FXFE504 | maximised | FXFE504
500hPa 高度・渦度 72時間予想図 | menu_FXFE507 | maximised | FXFE507
極東 850hPa 気温・風、700hPa 上昇流 12/24時間予想図 | menu_FXFE5782 | maximised | FXFE5782
極東 850hPa 気温・風、700hPa 上昇流 36/48時間予想図 | menu_FXFE5784 | maximised | FXFE5784
極東 850hPa 気温・風、700hPa 上昇流 72時間予想図 | menu_FXFE577 | maximised | FXFE577
日本 850hPa 風・相当温位予想図 | menu_FXJP854 | maximised | FXJP854
- | menu_lne2
週間予報支援図 | menu_FXXN519 | maximised | FXXN519
週間予報支援図 （アンサンブル） | menu_FZCX50 | maximised | FZCX50
週間アンサンブル予想図 | menu_FEFE19 | maximised | FEFE19
- | menu_lne4
▸ 台風情報 | menu_chart_typoon_ | 台風情報 - %1
  アジア広域 | menu_chart_typoon(1) | 10200x7800 | asia
  日本広域 | menu_chart_typoon(2) | 10200x7800 | koiki
  日本拡大 | menu_chart_typoon(3) | 10200x7800 | kakudai
▸ アメダス | menu_chart_amedas
  アメダス 降水量 rain
  アメダス 風向・風速 wind
  アメダス 気温 temp
  アメダス 日照 sun
▸ レーダーアメダス合成図 (現況) | menu_chart_radaramedas_ | レーダーアメダス合成図 (現況) - %1
  日本全図 | menu_chart_radaramedas(1) | 10200x10150 | rd0_jp
  南日本 | menu_chart_radaramedas(2) | 10200x10150 | rd0_sjp
▸ レーダーアメダス合成図 (6時間予報) | menu_chart_radaramedas_forcast_ | レーダーアメダス合成図 (6時間予報) - %1
  北日本 | menu_chart_radaramedas_forcast(1) | 10200x6600 | rd8_hjp
  南日本 | menu_chart_radaramedas_forcast(2) | 10200x6600 | rd8_mjp
  南西諸島 | menu_chart_radaramedas_forcast(3) | 10200x6600 | rd8_ljp
▸ レーダーアメダス合成図 (過去24時間) | menu_chart_radaramedas_sequence_ | レーダーアメダス合成図 (過去24時間) - %1
  北日本 | menu_chart_radaramedas_sequence(1) | 10200x6600 | rd7_hjp
  南日本 | menu_chart_radaramedas_sequence(2) | 10200x6600 | rd7_mjp
  南西諸島 | menu_chart_radaramedas_sequence(3) | 10200x6600 | rd7_ljp
- | menu_lne3
広域合成レーダー | menu_chart_kouikiradar | 7400x7400 | Area80
▸ 合成レーダー | menu_chart_radar_ | 合成レーダー - %1
  北海道 | menu_chart_radar(0) | 10200x7800 | RSAP
  東北北部 | menu_chart_radar(1) | 10200x7800 | RNTH
  東北南部・関東 | menu_chart_radar(2) | 10200x7800 | RKNT
  東海・近畿 | menu_chart_radar(3) | 10200x7800 | RWTK
  中国・四国・九州北部 | menu_chart_radar(4) | 10200x7800 | RCGK
  九州南部 | menu_chart_radar(5) | 10200x7800 | RNKG
  沖縄東部 | menu_chart_radar(6) | 10200x7800 | RNAH
  沖縄西部 | menu_chart_radar(7) | 10200x7800 | RISG
▸ 気象衛星 | menu_chart_sat_ | 気象衛星 - %1
  日本付近 | menu_chart_sat(1) | 10200x7800 | FE/
  クイックルック | menu_chart_sat(2) | 9300x9300 | QL/
)";

/// The four AMeDAS submenus share their lines: "アメダス {caption} {kind}" stands for this.
const char amedasMenu[] = R"(
▸ {caption} | menu_chart_amedas_{kind}_ | アメダス - {caption} - %1
  全国 | menu_chart_amedas_{kind}(0) | 10200x7800 | {kind}-b-zen
  - | menu_chart_amedas_{kind}(1)
  北海道 | menu_chart_amedas_{kind}(2) | 10200x7800 | {kind}-b-hokkaido
  東北 | menu_chart_amedas_{kind}(3) | 10200x7800 | {kind}-b-tohoku
  関東・甲信越 | menu_chart_amedas_{kind}(4) | 10200x7800 | {kind}-b-kanto
  東海・北陸・近畿 | menu_chart_amedas_{kind}(5) | 10200x7800 | {kind}-b-kinki
  中国・四国 | menu_chart_amedas_{kind}(6) | 10200x7800 | {kind}-b-chushikoku
  九州 | menu_chart_amedas_{kind}(7) | 10200x7800 | {kind}-b-kyushu
  沖縄 | menu_chart_amedas_{kind}(8) | 10200x7800 | {kind}-b-okinawa)";

/// The camera window's menu bar: caption | control | window height in twips | a word of the
/// picture's address.
const char cameraMenu[] = R"(
新千歳空港 | menu_shinnchitose | 6600 | shinchitose
札幌 | menu_sapporo | 6600 | sapporo
旭川 | menu_asahikawa | 6600 | asahikawa
函館 | menu_hakodate | 6600 | hakodate
帯広 | menu_obihiro | 6600 | obihiro
釧路 | menu_kushiro | 6600 | kushiro
仙台空港 | menu_sendai | 8400 | sendai
福島空港 | menu_fukushima | 8400 | kukouoffice
秋田空港 | menu_akita | 8400 | camera.php
小松空港 | menu_komatsu | 8400 | GetOneShot
広島空港 | menu_hiroshima | 8400 | HIROSHIMA
)";

/// The menu "気象庁" with the targets RJCC, RJTT (shown) and ZZZZ, at 05:00 UTC: the 00 run is
/// out, the run before is the day before's 12. caption | control | size | the HTTP status its
/// address is answered with | a word of that address | of the run before's, where there is one.
const char jmaMenu[] = R"(
アジア太平洋地上天気図 (カラー) | menu_jma_ASAS_COLOR | maximised | 200 | ASAS_COLOR
アジア太平洋地上天気図 (白黒) | menu_jma_ASAS_MONO | maximised | 200 | ASAS_MONO
- | menu_jma_lne0
アジア太平洋地上 24時間予想天気図 | menu_jma_FSAS24 | maximised | 200 | FSAS24
アジア太平洋地上 48時間予想天気図 | menu_jma_FSAS48 | maximised | 200 | FSAS48
- | menu_jma_lne1
AUPQ35 アジア500hPa・300hPa 高層天気図 | menu_jma_AUPQ35 | maximised | 200 | aupq35_00 | aupq35_12
AUPQ78 アジア850hPa・700hPa 高層天気図 | menu_jma_AUPQ78 | maximised | 200 | aupq78_00 | aupq78_12
AUPA20 アジア太平洋200hPa 高層天気図 | menu_jma_AUPA20 | maximised | 200 | aupa20_00 | aupa20_12
AUPA25 アジア太平洋250hPa 高層天気図 | menu_jma_AUPA25 | maximised | 200 | aupa25_00 | aupa25_12
- | menu_jma_lne2
FXFE502 極東地上気圧・500hPa高度 12・24時間予想図 | menu_jma_FXFE502 | maximised | 200 | fxfe502_00 | fxfe502_12
FXFE5782 極東850hPa気温・700hPa湿数 12・24時間予想図 | menu_jma_FXFE5782 | maximised | 200 | fxfe5782_00 | fxfe5782_12
FXJP854 日本850hPa相当温位・風 予想図 | menu_jma_FXJP854 | maximised | 200 | fxjp854_00 | fxjp854_12
- | menu_jma_lne3
飛行場時系列予報 東京(羽田) (RJTT) (表示中) | menu_jma_taf_shown | natural size | 200 | _RJTT.
飛行場時系列予報 新千歳 (RJCC) | menu_jma_taf | natural size | 200 | _RJCC.
飛行場時系列予報 東京(羽田) (RJTT) | menu_jma_taf | natural size | 200 | _RJTT.
飛行場時系列予報 ZZZZ | menu_jma_taf | natural size | 404 | _ZZZZ.
▸ 航空気象 | menu_jma_aviation
航空気象 ▸ 国内悪天予想図 (FBJP) | menu_jma_FBJP | natural size | 200 | fbjp.png
航空気象 ▸ - | menu_jma_lne4
AREAS
航空気象 ▸ - | menu_jma_lne5
航空気象 ▸ 国内航空路6・12時間予想断面図 (FXJP106) | menu_jma_FXJP106 | natural size | 200 | fxjp106_03 | fxjp106_00
航空気象 ▸ - | menu_jma_lne6
航空気象 ▸ 飛行場時系列予報 Part 2 東京(羽田) (RJTT) (表示中) | menu_jma_taf2_shown | natural size | 200 | QMCJ98_RJTT.
航空気象 ▸ 飛行場時系列予報 Part 2 新千歳 (RJCC) | menu_jma_taf2 | natural size | 200 | QMCJ98_RJCC.
航空気象 ▸ 飛行場時系列予報 Part 2 東京(羽田) (RJTT) | menu_jma_taf2 | natural size | 200 | QMCJ98_RJTT.
航空気象 ▸ 飛行場時系列予報 Part 2 ZZZZ | menu_jma_taf2 | natural size | 404 | QMCJ98_ZZZZ.
航空気象 ▸ - | menu_jma_lne7
航空気象 ▸ ブリーフィング (表示中の飛行場) | menu_jma_briefing | page
)";

/// The low-level charts' submenus of the menu "気象庁", the shown airport's area (RJTT's,
/// 東日本) first, in place of "AREAS" there: code | caption.
const char lowLevelSubmenus[] = R"(
fbtk | 東日本 (表示中)
fbsp | 北海道
fbsn | 東北
fbos | 西日本
fbkg | 奄美
fbok | 沖縄
)";

/// Entries that stand twice in a menu on purpose: the shown airport's chart, above the list that
/// holds it too.
const QStringList repeatedOnPurpose{QStringLiteral("menu_jma_taf_shown"),
                                    QStringLiteral("menu_jma_taf2_shown")};

/// Each source's server on loopback, publishing only what tests/web/data lists for it.
struct PublishedServers
{
    std::map<QString, std::unique_ptr<LoopbackHttpServer>> servers;
    SourceHosts hosts;

    bool start()
    {
        QFile list(QStringLiteral(TARNBECK_WEB_TEST_DATA "/published-paths.txt"));
        if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
            return false;
        while (!list.atEnd()) {
            const QString line = QString::fromUtf8(list.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QString name = line.section(u' ', 0, 0);
            std::unique_ptr<LoopbackHttpServer> &server = servers[name];
            if (!server) {
                server = std::make_unique<LoopbackHttpServer>();
                if (!server->start())
                    return false;
                hosts.insert(name, server->baseUrl().toString());
            }
            server->setRoute(line.section(u' ', 1), {200, "published\n", {}, {}});
        }
        return true;
    }
};

/// The HTTP status `url` is answered with; 0 when no answer came.
int statusOf(const QString &url)
{
    std::optional<int> status;
    QObject context;
    HttpFetch::get(QUrl(url), &context, [&](const FetchResult &result) { status = result.status; });
    (void)QTest::qWaitFor([&] { return status.has_value(); }, 20000);
    return status.value_or(0);
}

/// One line of a built menu: what the user meets and, for an entry, the address it opens.
struct Line
{
    QString shown;
    QString url = {};
    QString fallbackUrl = {};
    QString title = {};
};

/// Every line of `menu`, depth first: a submenu as "▸ path | control", a separator as
/// "path ▸ - | control(index)", an entry chosen and told by `describe`.
template <typename Choice, typename Describe>
void walk(QMenu *menu, const QString &path, std::optional<Choice> &chosen, const Describe &describe,
          QList<Line> &lines)
{
    for (QAction *action : menu->actions()) {
        const QString caption = action->isSeparator() ? QStringLiteral("-") : action->text();
        const QString at = path.isEmpty() ? caption : path + arrow + caption;
        const QVariant index = action->property("index");
        const QString line =
            at + bar + action->objectName() +
            (index.isValid() ? QStringLiteral("(%1)").arg(index.toInt()) : QString());
        if (action->menu()) {
            lines.append({QStringLiteral("▸ ") + at + bar + action->menu()->objectName()});
            walk(action->menu(), at, chosen, describe, lines);
        } else if (action->isSeparator()) {
            lines.append({line});
        } else {
            chosen.reset();
            action->trigger();
            lines.append(chosen ? describe(*chosen, line)
                                : Line{line + QStringLiteral(" | chooses nothing")});
        }
    }
}

/// The menu "天気図", every entry chosen: "path | control(index) | title | size".
QList<Line> builtChartMenu(const SourceHosts &hosts)
{
    QMenu menu;
    std::optional<ChartChoice> chosen;
    BuildChartMenu(&menu, [&](const ChartChoice &choice) { chosen = choice; });
    QList<Line> lines;
    walk(
        &menu, {}, chosen,
        [&](const ChartChoice &choice, const QString &line) -> Line {
            const ChartItem &item = *choice.item;
            const QString size = item.maximised()
                                     ? QStringLiteral("maximised")
                                     : QStringLiteral("%1x%2").arg(item.width).arg(item.height);
            const QString path = QString::fromUtf8(item.basePath) + QString::fromUtf8(item.file);
            return {line + bar + choice.title + bar + size,
                    chartAddress(hosts, item.source, path).url()};
        },
        lines);
    return lines;
}

/// The menu "気象庁" as the jmaMenu table has it, every entry chosen: "caption | control | size".
QList<Line> builtJmaMenu(const SourceHosts &hosts)
{
    QMenu menu;
    std::optional<JmaChoice> chosen;
    // In the list's order with the shown one marked, as the ticker sends them; one the catalogue
    // does not know.
    BuildJmaMenu(
        &menu,
        {{QStringLiteral("RJCC"), QStringLiteral("新千歳")},
         {QStringLiteral("RJTT"), QStringLiteral("東京(羽田)"), true, QStringLiteral("東日本")},
         {QStringLiteral("ZZZZ"), QString()}},
        [&](const JmaChoice &choice) { chosen = choice; });
    const QDateTime now(QDate(2024, 7, 1), QTime(5, 0), QTimeZone::utc());
    QList<Line> lines;
    walk(
        &menu, {}, chosen,
        [&](const JmaChoice &choice, const QString &line) -> Line {
            if (choice.item->file == JmaFile::Briefing)
                return {line + bar + QStringLiteral("page")}; // made here, no document
            const DocumentAddress address =
                jmaAddress(hosts, *choice.item, now, choice.icao, choice.areaCode);
            const bool maximised = choice.item->maximised();
            return {line + bar +
                        (maximised ? QStringLiteral("maximised") : QStringLiteral("natural size")),
                    address.url(), address.fallbackUrl(), choice.title};
        },
        lines);
    return lines;
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
    /// What is wrong with `url` as the address of an entry: it does not hold `word`, it is not
    /// the only entry's that opens it, or its server answers otherwise than `status`.
    QString fault(const QString &url, const QString &word, int status = 200) const;

    PublishedServers m_published;
    QList<Line> m_chartMenu;
    QList<Line> m_jmaMenu;
    QStringList m_opened; ///< every entry's address, those repeated on purpose left out
};

void TestWebCatalogue::initTestCase()
{
    QVERIFY(m_published.start());
    m_chartMenu = builtChartMenu(m_published.hosts);
    m_jmaMenu = builtJmaMenu(m_published.hosts);
    for (const Line &line : std::as_const(m_chartMenu) + m_jmaMenu) {
        if (!line.url.isEmpty() && !repeatedOnPurpose.contains(line.shown.section(bar, 1, 1)))
            m_opened << line.url;
    }
    const CameraCatalogue cameras = ::cameraCatalogue();
    for (int i = 0; i < cameras.count; ++i)
        m_opened << cameraAddress(m_published.hosts, cameras.items[i].source,
                                  QString::fromLatin1(cameras.items[i].path))
                        .url();
}

QString TestWebCatalogue::fault(const QString &url, const QString &word, int status) const
{
    if (!url.contains(word))
        return url + QStringLiteral(" does not name ") + word;
    // An entry repeated on purpose repeats just one other.
    if (m_opened.count(url) != 1)
        return url + QStringLiteral(" is opened by %1 entries").arg(m_opened.count(url));
    const int answered = statusOf(url);
    return answered == status ? QString() : url + QStringLiteral(" answered %1").arg(answered);
}

void TestWebCatalogue::chartMenuMatchesCatalogue_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("word");
    struct Group
    {
        QString path;
        QString title;
    };
    QList<Group> groups{{{}, QStringLiteral("%1")}};
    int line = 0;
    const auto add = [&](const QString &shown, const QString &word = {}) {
        QTest::addRow("%d %s", line, qPrintable(shown.section(bar, 0, 0))) << line << shown << word;
        ++line;
    };
    QString table = QString::fromUtf8(chartMenu);
    static const QRegularExpression amedas(QStringLiteral("^( *)アメダス (\\S+) (\\w+)$"),
                                           QRegularExpression::MultilineOption);
    for (QRegularExpressionMatch m; (m = amedas.match(table)).hasMatch();)
        table.replace(m.capturedStart(), m.capturedLength(),
                      m.captured(1) + QString::fromUtf8(amedasMenu)
                                          .trimmed()
                                          .replace(u'\n', u'\n' + m.captured(1))
                                          .replace(QStringLiteral("{caption}"), m.captured(2))
                                          .replace(QStringLiteral("{kind}"), m.captured(3)));
    for (QString text : table.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype depth = text.indexOf(QRegularExpression(QStringLiteral("\\S"))) / 2;
        groups.resize(depth + 1);
        text = text.trimmed();
        const bool opens = text.startsWith(QStringLiteral("▸ "));
        const QStringList field = text.mid(opens ? 2 : 0).split(bar);
        const QString at =
            groups.last().path.isEmpty() ? field[0] : groups.last().path + arrow + field[0];
        if (opens) {
            add(QStringLiteral("▸ ") + at + bar + field[1]);
            groups.append({at, field.value(2, QStringLiteral("%1"))});
        } else if (field.size() == 2) {
            add(at + bar + field[1]);
        } else {
            add(QStringList{at, field[1], groups.last().title.arg(field[0]), field[2]}.join(bar),
                field[3]);
        }
    }
    add({}); // one more line catches a menu longer than the table
}

void TestWebCatalogue::chartMenuMatchesCatalogue()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    QFETCH(QString, word);
    const Line built = m_chartMenu.value(line);
    QCOMPARE(built.shown, expected);
    // The caption names its document, which no other entry opens and its server has.
    const QString wrong = word.isEmpty() ? QString() : fault(built.url, word);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
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
    QTest::addColumn<QString>("row");
    const QStringList rows = QString::fromUtf8(cameraMenu).split(u'\n', Qt::SkipEmptyParts);
    for (int i = 0; i < rows.size(); ++i)
        QTest::addRow("%s", qPrintable(rows[i].section(bar, 1, 1))) << i << rows[i];
}

void TestWebCatalogue::cameraCatalogue()
{
    QFETCH(int, index);
    QFETCH(QString, row);
    const CameraCatalogue cameras = ::cameraCatalogue();
    QCOMPARE(cameras.count, 11);
    const CameraItem &camera = cameras.items[index];
    QCOMPARE(QStringList({QString::fromUtf8(camera.caption), QString::fromLatin1(camera.control),
                          QString::number(camera.windowHeight)})
                 .join(bar),
             row.section(bar, 0, 2));
    // Each camera source is a server of its own: a picture on another source is not found.
    const QString wrong = fault(
        cameraAddress(m_published.hosts, camera.source, QString::fromLatin1(camera.path)).url(),
        row.section(bar, 3));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
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
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("fallbackWord");
    QStringList rows;
    for (const QString &row : QString::fromUtf8(jmaMenu).split(u'\n', Qt::SkipEmptyParts)) {
        if (row != QLatin1String("AREAS")) {
            rows << row;
            continue;
        }
        // Each area's submenu holds the same four charts, by the area's code.
        for (const QString &area :
             QString::fromUtf8(lowLevelSubmenus).split(u'\n', Qt::SkipEmptyParts)) {
            const QString code = area.section(bar, 0, 0);
            const QString at = QStringLiteral("航空気象 ▸ 下層悪天予想図 ") + area.section(bar, 1);
            rows << QStringLiteral("▸ ") + at + bar + QStringLiteral("menu_jma_lowlevel_") + code;
            for (const char *kind : {"03|3時間予想", "06|6時間予想", "09|9時間予想", "39|時系列"}) {
                const QString hours = QString::fromUtf8(kind).section(u'|', 0, 0);
                rows << QStringList{at + arrow + QString::fromUtf8(kind).section(u'|', 1),
                                    QStringLiteral("menu_jma_lowlevel") + hours,
                                    QStringLiteral("natural size"), QStringLiteral("200"),
                                    code + hours}
                            .join(bar);
            }
        }
    }
    rows << QString(); // nothing after the targets
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList field = rows[i].split(bar);
        QTest::addRow("%d %s", i, qPrintable(field[0]))
            << i << field.mid(0, 3).join(bar) << field.value(3).toInt() << field.value(4)
            << field.value(5);
    }
}

void TestWebCatalogue::jmaMenuMatchesTheAgencysCharts()
{
    QFETCH(int, line);
    QFETCH(QString, expected);
    QFETCH(int, status);
    QFETCH(QString, word);
    QFETCH(QString, fallbackWord);
    const Line built = m_jmaMenu.value(line);
    QCOMPARE(built.shown, expected);
    if (built.url.isEmpty())
        return;
    // The window's caption names the airport alone.
    if (built.shown.section(bar, 1, 1).startsWith(QLatin1String("menu_jma_taf")))
        QCOMPARE(built.title, built.shown.section(bar, 0, 0).section(arrow, -1).remove(
                                  QStringLiteral(" (表示中)")));
    const QString wrong = fault(built.url, word, status);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    // The run before, on the same server; a fixed chart has none.
    if (fallbackWord.isEmpty())
        QCOMPARE(built.fallbackUrl, QString());
    else
        QVERIFY2(built.fallbackUrl.contains(fallbackWord) && statusOf(built.fallbackUrl) == 200,
                 qPrintable(built.fallbackUrl));
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
    const QString host = m_published.hosts.value(name);
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
        // And the source's server has it.
        QCOMPARE(statusOf(check.url), 200);
        if (!check.fallbackUrl.isEmpty())
            QCOMPARE(statusOf(check.fallbackUrl), 200);
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
