// The decode: each kind of group read out, report moments, the station corpus, the JSON form.
#include "report/DecodedForms.h"
#include "report/ReportDecode.h"
#include "report/StationReport.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QtTest>

Q_DECLARE_METATYPE(GroupKind)

namespace {

QString readStationFile(const QString &relative)
{
    QFile file(stationFile(relative));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

QDateTime utc(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc());
}

} // namespace

class TestReportDecode : public QObject
{
    Q_OBJECT

private slots:
    void groups_data();
    void groups();
    void moments_data();
    void moments();
    void everyStationFileDecodes();
    void json_data();
    void json();
    void textForm();
};

void TestReportDecode::groups_data()
{
    QTest::addColumn<QString>("report"); // a METAR of RJTT at 2024/01/15 12:30
    QTest::addColumn<QString>("group");
    QTest::addColumn<GroupKind>("kind");
    QTest::addColumn<QString>("meaning");
    using K = GroupKind;
    const QString plain = QStringLiteral("RJTT 151230Z %1 9999 FEW030 08/M02 Q1021");
    // 340° is 15.1 points: 北北西; 8 kt × 0.5144 = 4.1 m/s.
    QTest::newRow("wind") << plain.arg("34008KT") << "34008KT" << K::Wind
                          << "風向 340°（北北西）、風速 8 kt（4.1 m/s）";
    QTest::newRow("gust")
        << plain.arg("19038G56KT") << "19038G56KT" << K::Wind
        << "風向 190°（南）、風速 38 kt（19.5 m/s）、最大瞬間風速 56 kt（28.8 m/s）";
    QTest::newRow("calm") << plain.arg("00000KT") << "00000KT" << K::Wind << "静穏";
    QTest::newRow("variable") << plain.arg("VRB02KT") << "VRB02KT" << K::Wind
                              << "風向 不定、風速 2 kt（1.0 m/s）";
    QTest::newRow("metres a second") << plain.arg("36003MPS") << "36003MPS" << K::Wind
                                     << "風向 360°（北）、風速 3 m/s（5.8 kt）";
    QTest::newRow("wind range") << plain.arg("07006KT 030V110") << "030V110" << K::WindVariation
                                << "風向の変動 030°（北北東）〜110°（東南東）";
    QTest::newRow("10 km or more")
        << plain.arg("34008KT") << "9999" << K::Visibility << "視程 10 km 以上";
    const QString seen = QStringLiteral("RJTT 151230Z 34008KT %1 FEW030 08/M02 Q1021");
    QTest::newRow("visibility in m") << seen.arg("0500") << "0500" << K::Visibility << "視程 500 m";
    QTest::newRow("visibility in km") << seen.arg("8000") << "8000" << K::Visibility << "視程 8 km";
    QTest::newRow("minimum visibility")
        << seen.arg("3000 1500SW") << "1500SW" << K::Visibility << "最短視程 1,500 m（南西）";
    QTest::newRow("half a mile") << seen.arg("1/2SM") << "1/2SM" << K::Visibility
                                 << "視程 1/2 SM（約 805 m）";
    QTest::newRow("mile and a half")
        << seen.arg("1 1/2SM") << "1 1/2SM" << K::Visibility << "視程 1 1/2 SM（約 2,414 m）";
    QTest::newRow("over six miles")
        << seen.arg("P6SM") << "P6SM" << K::Visibility << "視程 6 SM を超える（約 9.7 km）";
    QTest::newRow("RVR range") << seen.arg("0500 R24L/0175V0550D") << "R24L/0175V0550D" << K::Rvr
                               << "滑走路 24L の滑走路視距離 175 m〜550 m、悪化傾向";
    QTest::newRow("RVR bounds") << seen.arg("3000 R34L/M0050VP2000U") << "R34L/M0050VP2000U"
                                << K::Rvr
                                << "滑走路 34L の滑走路視距離 50 m 未満〜2,000 m 超、回復傾向";
    QTest::newRow("RVR missing") << seen.arg("9999 R06R/////") << "R06R/////" << K::Rvr
                                 << "滑走路 06R の滑走路視距離 観測できず";
    const QString wx = QStringLiteral("RJTT 151230Z 34008KT 3000 %1 FEW030 08/M02 Q1021");
    QTest::newRow("light shower") << wx.arg("-SHRA") << "-SHRA" << K::Weather
                                  << "弱いしゅう雨性の雨";
    QTest::newRow("heavy rain in a storm")
        << wx.arg("+TSRA") << "+TSRA" << K::Weather << "雷電（強い雨を伴う）";
    QTest::newRow("storm with hail")
        << wx.arg("TSRAGS") << "TSRAGS" << K::Weather << "雷電（並の雨と雪あられ・氷あられを伴う）";
    QTest::newRow("showers nearby")
        << wx.arg("VCSH") << "VCSH" << K::Weather << "飛行場付近のしゅう雨性の降水";
    QTest::newRow("fog patches") << wx.arg("BCFG") << "BCFG" << K::Weather << "散在霧";
    QTest::newRow("drifting snow") << wx.arg("DRSN") << "DRSN" << K::Weather << "低い地ふぶき";
    QTest::newRow("freezing fog") << wx.arg("FZFG") << "FZFG" << K::Weather << "着氷性の霧";
    QTest::newRow("sleet") << wx.arg("-RASN") << "-RASN" << K::Weather << "弱い雨と雪";
    QTest::newRow("recent storm") << wx.arg("BR RETS") << "RETS" << K::RecentWeather
                                  << "直前の天気: 雷電";
    const QString sky = QStringLiteral("RJTT 151230Z 34008KT 9999 %1 08/M02 Q1021");
    // 3,000 ft × 0.3048 = 914 m, read to ten metres.
    QTest::newRow("cumulonimbus") << sky.arg("FEW030CB") << "FEW030CB" << K::Cloud
                                  << "雲量 1/8〜2/8（FEW）、雲底 3,000 ft（910 m）、積乱雲";
    QTest::newRow("base unseen") << sky.arg("BKN///") << "BKN///" << K::Cloud
                                 << "雲量 5/8〜7/8（BKN）、雲底 観測できず";
    QTest::newRow("automatic TCU") << sky.arg("//////TCU") << "//////TCU" << K::Cloud
                                   << "雲量 観測できず、雲底 観測できず、塔状積雲";
    QTest::newRow("at the ground") << sky.arg("FEW000") << "FEW000" << K::Cloud
                                   << "雲量 1/8〜2/8（FEW）、雲底 100 ft（30 m）未満";
    QTest::newRow("overcast") << sky.arg("OVC012") << "OVC012" << K::Cloud
                              << "雲量 8/8（OVC）、雲底 1,200 ft（370 m）";
    QTest::newRow("vertical visibility")
        << sky.arg("VV001") << "VV001" << K::VerticalVisibility << "鉛直視程 100 ft（30 m）";
    QTest::newRow("no significant cloud")
        << sky.arg("NSC") << "NSC" << K::NoCloud << "顕著な雲なし（NSC）";
    // Magnus (17.62, 243.12): e(22)/e(28) = 0.699; e(-9)/e(-5) = 0.735.
    const QString air = QStringLiteral("RJTT 151230Z 34008KT 9999 FEW030 %1 Q1021");
    QTest::newRow("humidity") << air.arg("28/22") << "28/22" << K::Temperature
                              << "気温 28℃、露点温度 22℃、相対湿度 70%";
    QTest::newRow("below zero") << air.arg("M05/M09") << "M05/M09" << K::Temperature
                                << "気温 -5℃、露点温度 -9℃、相対湿度 74%";
    QTest::newRow("QNH") << plain.arg("34008KT") << "Q1021" << K::Pressure << "QNH 1021 hPa";
    // 29.92 inHg × 33.8639 = 1013.2 hPa.
    QTest::newRow("inches") << "KFMH 151230Z 34008KT 10SM FEW030 08/M02 A2992"
                            << "A2992" << K::Pressure << "QNH 29.92 inHg（1013.2 hPa）";
    QTest::newRow("wind shear") << plain.arg("34008KT") + " WS RWY22"
                                << "WS RWY22" << K::WindShear << "滑走路 22 でウィンドシアー";
    QTest::newRow("runway state") << plain.arg("34008KT") + " R88/290060"
                                  << "R88/290060" << K::RunwayState
                                  << "全滑走路の状態: 濡れているか水たまりがある、51〜100% "
                                     "を覆う、深さ 1 mm 未満、摩擦係数 0.60";
    QTest::newRow("sea") << plain.arg("34008KT") + " W11/S3"
                         << "W11/S3" << K::SeaState
                         << "海面水温 11℃、海面状態 やや波がある（0.5〜1.25 m）";
    QTest::newRow("no change") << plain.arg("34008KT") + " NOSIG"
                               << "NOSIG" << K::Trend << "2 時間以内に顕著な変化なし（NOSIG）";
    // 10:00 UTC is 19:00 in Japan.
    QTest::newRow("trend time") << "RJAA 150930Z 07006KT 9999 FEW030 24/22 Q1008 TEMPO FM1000 TSRA"
                                << "FM1000" << K::TrendTime
                                << "15日 19:00 JST（15日 10:00 UTC）から";
    QTest::newRow("automatic") << "RJBB 151230Z AUTO 04014KT 9999 FEW007 22/21 Q1016"
                               << "AUTO" << K::Auto << "自動観測（AUTO）";
    QTest::newRow("correction") << "CYHI 151230Z CCA 34019KT 10SM FEW011 M05/M09 A2994"
                                << "CCA" << K::Amendment << "訂正報（CCA: 1 回目）";
    const QString rmk = plain.arg("34008KT") + QStringLiteral(" RMK %1");
    // 1,500 ft × 0.3048 = 457 m.
    QTest::newRow("remark cloud") << rmk.arg("1CU015") << "1CU015" << K::RemarkCloud
                                  << "積雲 雲量 1/8、雲底 1,500 ft（460 m）";
    QTest::newRow("remark inches")
        << rmk.arg("1CU015 A2992") << "A2992" << K::Pressure << "QNH 29.92 inHg（1013.2 hPa）";
    QTest::newRow("remark cumulonimbus")
        << rmk.arg("CB 40KM E MOV UNKNOWN") << "CB 40KM E MOV UNKNOWN" << K::RemarkPhrase
        << "積乱雲 40 km 東、移動方向不明";
    QTest::newRow("remark lightning")
        << rmk.arg("LIGHTNING 30KM NW-N AND E MOV E") << "LIGHTNING 30KM NW-N AND E MOV E"
        << K::RemarkPhrase << "雷光 30 km 北西〜北 および 東、東へ移動";
    QTest::newRow("remark kept as written")
        << rmk.arg("AO2") << "AO2" << K::RemarkText << "付加事項（原文どおり）";
    QTest::newRow("not a group") << plain.arg("0500S4KT") << "0500S4KT" << K::Unknown
                                 << "解読できない群";
}

void TestReportDecode::groups()
{
    QFETCH(QString, report);
    QFETCH(QString, group);
    QFETCH(GroupKind, kind);
    QFETCH(QString, meaning);
    const DecodedMetar metar = DecodeMetar(report, utc(2024, 1, 15, 12, 30));
    for (const DecodedGroup &decoded : metar.groups) {
        if (decoded.text != group)
            continue;
        QCOMPARE(decoded.kind, kind);
        QCOMPARE(decoded.meaning, meaning);
        QCOMPARE(report.mid(decoded.start, decoded.length), group); // the span the window marks
        QCOMPARE(metar.unknown.contains(group), kind == GroupKind::Unknown);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no group '%1'").arg(group)));
}

void TestReportDecode::moments_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("isTaf");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QDateTime>("last"); // a METAR: its time; a TAF: the end of its last period
    const QDateTime none;
    QTest::newRow("same day") << "2018/08/31 09:00\nRJTT 310900Z 03018KT 9999 FEW030 28/22 Q1007"
                              << false << utc(2018, 8, 31, 9, 0) << utc(2018, 8, 31, 9, 0);
    QTest::newRow("a day after the file's is the month before")
        << "2024/03/01 00:10\nRJTT 292350Z 03018KT 9999 FEW030 08/02 Q1007" << false
        << utc(2024, 2, 29, 23, 50) << utc(2024, 2, 29, 23, 50);
    QTest::newRow("across the year")
        << "2025/01/01 00:05\nRJTT 312355Z 36005KT 9999 02/M05 Q1020" << false
        << utc(2024, 12, 31, 23, 55) << utc(2024, 12, 31, 23, 55);
    QTest::newRow("validity into the next month")
        << "2018/09/30 11:05\nTAF RJTT 301105Z 3012/0118 17026G36KT 6000 FEW008\n"
           "      BECMG 0109/0112 21010KT"
        << true << utc(2018, 9, 30, 11, 5) << utc(2018, 10, 1, 12, 0);
    QTest::newRow("hour 24") << "2024/02/25 23:00\nTAF RJTT 252300Z 2600/2624 36010KT 9999 FEW030"
                             << true << utc(2024, 2, 25, 23, 0) << utc(2024, 2, 27, 0, 0);
    QTest::newRow("FM a day on") << "2016/11/28 06:24\nTAF KSFO 280520Z 2806/2912 25010KT P6SM "
                                    "FEW025\n     FM290400 31008KT P6SM FEW020"
                                 << true << utc(2016, 11, 28, 5, 20) << utc(2016, 11, 29, 4, 0);
}

void TestReportDecode::moments()
{
    QFETCH(QString, file);
    QFETCH(bool, isTaf);
    QFETCH(QDateTime, time);
    QFETCH(QDateTime, last);
    const ReportDecoding decoding =
        DecodeStationFiles(QStringLiteral("RJTT"), isTaf ? "" : file, isTaf ? file : "");
    if (!isTaf) {
        QVERIFY(decoding.metar);
        QCOMPARE(decoding.metar->time, time);
        return;
    }
    QVERIFY(decoding.taf);
    QCOMPARE(decoding.taf->time, time);
    QVERIFY(!decoding.taf->changes.isEmpty() || decoding.taf->validTo);
    const DecodedChange *change =
        decoding.taf->changes.isEmpty() ? nullptr : &decoding.taf->changes.last();
    QCOMPARE(change ? (change->to ? *change->to : *change->from) : *decoding.taf->validTo, last);
}

void TestReportDecode::everyStationFileDecodes()
{
    // Not standard at all: QNH in a TAF (a national practice) and a wind with a stray letter.
    const QHash<QString, QStringList> notStandard{
        {QStringLiteral("taf/OAKN_1.TXT"),
         {"QNH2979INS", "QNH2978INS", "QNH2983INS", "QNH2981INS", "QNH2979INS", "QNH2975INS",
          "QNH2975INS"}},
        {QStringLiteral("taf/RJFK_1.TXT"), {"0500S4KT"}}};
    int decoded = 0;
    for (const QString &product : {QStringLiteral("metar"), QStringLiteral("taf")}) {
        const QDir dir(stationFile(product));
        for (const QString &name : dir.entryList({QStringLiteral("*.TXT")})) {
            const QString relative = product + u'/' + name;
            const QString file = readStationFile(relative);
            const bool isTaf = product == u"taf";
            const ReportDecoding decoding = DecodeStationFiles(
                name.left(4), isTaf ? QString() : file, isTaf ? file : QString());
            const bool isStationFile = IsStationFileOf(file, name.left(4), isTaf);
            QVERIFY2(bool(isTaf ? bool(decoding.taf) : bool(decoding.metar)) == isStationFile,
                     qPrintable(relative));
            if (!isStationFile)
                continue;
            const QString raw = isTaf ? decoding.taf->raw : decoding.metar->raw;
            const QStringList unknown = isTaf ? decoding.taf->unknown : decoding.metar->unknown;
            const QList<DecodedGroup> &groups =
                isTaf ? decoding.taf->groups : decoding.metar->groups;
            QCOMPARE(unknown, notStandard.value(relative));
            // Every written character is in exactly one group, in order: nothing lost.
            qsizetype covered = 0;
            for (const DecodedGroup &group : groups) {
                QVERIFY2(group.start >= covered, qPrintable(relative + u' ' + group.text));
                QVERIFY(raw.mid(covered, group.start - covered).trimmed().isEmpty());
                QCOMPARE(raw.mid(group.start, group.length), group.text);
                QVERIFY2(!group.meaning.isEmpty(), qPrintable(group.text));
                covered = group.start + group.length;
            }
            QCOMPARE(raw.mid(covered).remove(u'=').trimmed(), QString());
            ++decoded;
        }
    }
    QCOMPARE(decoded, 30 + 27); // all but the empty file and the two pages
}

void TestReportDecode::json_data()
{
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("metarFile");
    QTest::addColumn<QString>("tafFile");
    QTest::addColumn<QByteArray>("expected");
    // Read by hand from the reports: humidity of 28/22 by Magnus is 70%, of 25/25 100%.
    QTest::newRow("RJTT") << "RJTT"
                          << "metar/RJTT_1.TXT"
                          << "taf/RJTT_1.TXT" << QByteArray(R"({"station": "RJTT",
"metar": {"raw": "RJTT 310900Z 03018KT 9999 FEW030 FEW035CB BKN040 BKN/// 28/22 Q1007 NOSIG RMK 1CU030 1CB035 6CU040 A2974 LIGHTNING 40KM N MOV E CB W-NW",
  "kind": "METAR", "time": "2018-08-31T09:00:00Z",
  "wind": {"direction": 30, "variable": false, "speed": 18, "gust": null, "unit": "KT", "from": null, "to": null},
  "visibility": {"metres": 9999, "cavok": false}, "rvr": [], "weather": [], "recent": [],
  "clouds": [{"amount": "FEW", "base_ft": 3000, "type": null}, {"amount": "FEW", "base_ft": 3500, "type": "CB"},
             {"amount": "BKN", "base_ft": 4000, "type": null}, {"amount": "BKN", "base_ft": null, "type": null}],
  "vertical_visibility_ft": null, "temperature": 28, "dewpoint": 22, "humidity": 70,
  "qnh_hpa": 1007, "trend": ["NOSIG"], "unknown": []},
"taf": {"raw": "TAF RJTT 301105Z 3012/0118 17026G36KT 6000 -SHRA FEW008 BKN015 \n      BECMG 3012/3014 19042G58KT \n      TEMPO 3012/3014 4000 -SHRA BR FEW005 BKN008 \n      TEMPO 3014/3018 19060G75KT 2000 +SHRA BR FEW005 BKN008 \n      BECMG 3018/3020 21024G34KT \n      BECMG 0109/0112 21010KT",
  "time": "2018-09-30T11:05:00Z", "valid_from": "2018-09-30T12:00:00Z", "valid_to": "2018-10-01T18:00:00Z",
  "base": {"wind": {"direction": 170, "variable": false, "speed": 26, "gust": 36, "unit": "KT", "from": null, "to": null},
           "visibility": {"metres": 6000, "cavok": false}, "weather": ["-SHRA"],
           "clouds": [{"amount": "FEW", "base_ft": 800, "type": null}, {"amount": "BKN", "base_ft": 1500, "type": null}],
           "vertical_visibility_ft": null},
  "changes": [
    {"kind": "BECMG", "probability": null, "from": "2018-09-30T12:00:00Z", "to": "2018-09-30T14:00:00Z",
     "wind": {"direction": 190, "variable": false, "speed": 42, "gust": 58, "unit": "KT", "from": null, "to": null},
     "visibility": null, "weather": [], "clouds": [], "vertical_visibility_ft": null},
    {"kind": "TEMPO", "probability": null, "from": "2018-09-30T12:00:00Z", "to": "2018-09-30T14:00:00Z",
     "wind": null, "visibility": {"metres": 4000, "cavok": false}, "weather": ["-SHRA", "BR"],
     "clouds": [{"amount": "FEW", "base_ft": 500, "type": null}, {"amount": "BKN", "base_ft": 800, "type": null}],
     "vertical_visibility_ft": null},
    {"kind": "TEMPO", "probability": null, "from": "2018-09-30T14:00:00Z", "to": "2018-09-30T18:00:00Z",
     "wind": {"direction": 190, "variable": false, "speed": 60, "gust": 75, "unit": "KT", "from": null, "to": null},
     "visibility": {"metres": 2000, "cavok": false}, "weather": ["+SHRA", "BR"],
     "clouds": [{"amount": "FEW", "base_ft": 500, "type": null}, {"amount": "BKN", "base_ft": 800, "type": null}],
     "vertical_visibility_ft": null},
    {"kind": "BECMG", "probability": null, "from": "2018-09-30T18:00:00Z", "to": "2018-09-30T20:00:00Z",
     "wind": {"direction": 210, "variable": false, "speed": 24, "gust": 34, "unit": "KT", "from": null, "to": null},
     "visibility": null, "weather": [], "clouds": [], "vertical_visibility_ft": null},
    {"kind": "BECMG", "probability": null, "from": "2018-10-01T09:00:00Z", "to": "2018-10-01T12:00:00Z",
     "wind": {"direction": 210, "variable": false, "speed": 10, "gust": null, "unit": "KT", "from": null, "to": null},
     "visibility": null, "weather": [], "clouds": [], "vertical_visibility_ft": null}],
  "unknown": []}})");
    QTest::newRow("RJBB") << "RJBB"
                          << "metar/RJBB_1.TXT"
                          << "taf/RJBB_1.TXT" << QByteArray(R"({"station": "RJBB",
"metar": {"raw": "RJBB 040430Z 19080G99KT 0500 R24L/0175V0550D R24R/1400VP2000D +SHRA FG FEW003 SCT008 BKN020CB 25/25 Q0956 NOSIG",
  "kind": "METAR", "time": "2018-09-04T04:30:00Z",
  "wind": {"direction": 190, "variable": false, "speed": 80, "gust": 99, "unit": "KT", "from": null, "to": null},
  "visibility": {"metres": 500, "cavok": false},
  "rvr": [{"runway": "24L", "metres": 175, "trend": "D"}, {"runway": "24R", "metres": 1400, "trend": "D"}],
  "weather": ["+SHRA", "FG"], "recent": [],
  "clouds": [{"amount": "FEW", "base_ft": 300, "type": null}, {"amount": "SCT", "base_ft": 800, "type": null},
             {"amount": "BKN", "base_ft": 2000, "type": "CB"}],
  "vertical_visibility_ft": null, "temperature": 25, "dewpoint": 25, "humidity": 100,
  "qnh_hpa": 956, "trend": ["NOSIG"], "unknown": []},
"taf": {"raw": "TAF RJBB 131709Z 1318/1500 06009KT 9999 FEW010 SCT025 BKN035\n     BECMG 1412/1415 22009KT",
  "time": "2018-09-13T17:09:00Z", "valid_from": "2018-09-13T18:00:00Z", "valid_to": "2018-09-15T00:00:00Z",
  "base": {"wind": {"direction": 60, "variable": false, "speed": 9, "gust": null, "unit": "KT", "from": null, "to": null},
           "visibility": {"metres": 9999, "cavok": false}, "weather": [],
           "clouds": [{"amount": "FEW", "base_ft": 1000, "type": null}, {"amount": "SCT", "base_ft": 2500, "type": null},
                      {"amount": "BKN", "base_ft": 3500, "type": null}],
           "vertical_visibility_ft": null},
  "changes": [{"kind": "BECMG", "probability": null, "from": "2018-09-14T12:00:00Z", "to": "2018-09-14T15:00:00Z",
     "wind": {"direction": 220, "variable": false, "speed": 9, "gust": null, "unit": "KT", "from": null, "to": null},
     "visibility": null, "weather": [], "clouds": [], "vertical_visibility_ft": null}],
  "unknown": []}})");
    // CAVOK gives no metres; PROB30 before TEMPO is a temporary change with its probability.
    QTest::newRow("ENSL") << "ENSL"
                          << "metar/ENSL_1.TXT"
                          << "taf/ENSL_1.TXT" << QByteArray(R"({"station": "ENSL",
"metar": {"raw": "ENSL 171450Z 17023KT CAVOK 13/12 Q1007 W11/S3", "kind": "METAR", "time": "2018-09-17T14:50:00Z",
  "wind": {"direction": 170, "variable": false, "speed": 23, "gust": null, "unit": "KT", "from": null, "to": null},
  "visibility": {"metres": null, "cavok": true}, "rvr": [], "weather": [], "recent": [], "clouds": [],
  "vertical_visibility_ft": null, "temperature": 13, "dewpoint": 12, "humidity": 94,
  "qnh_hpa": 1007, "trend": [], "unknown": []},
"taf": {"raw": "TAF ENSL 211100Z 2112/2117 34058G72KT 8000 -RA SCT012 BKN020 TEMPO 2112/2115 2000 RA BR BKN008 PROB30  TEMPO 2115/2117 4000 SHRA BKN012",
  "time": "2018-09-21T11:00:00Z", "valid_from": "2018-09-21T12:00:00Z", "valid_to": "2018-09-21T17:00:00Z",
  "base": {"wind": {"direction": 340, "variable": false, "speed": 58, "gust": 72, "unit": "KT", "from": null, "to": null},
           "visibility": {"metres": 8000, "cavok": false}, "weather": ["-RA"],
           "clouds": [{"amount": "SCT", "base_ft": 1200, "type": null}, {"amount": "BKN", "base_ft": 2000, "type": null}],
           "vertical_visibility_ft": null},
  "changes": [
    {"kind": "TEMPO", "probability": null, "from": "2018-09-21T12:00:00Z", "to": "2018-09-21T15:00:00Z",
     "wind": null, "visibility": {"metres": 2000, "cavok": false}, "weather": ["RA", "BR"],
     "clouds": [{"amount": "BKN", "base_ft": 800, "type": null}], "vertical_visibility_ft": null},
    {"kind": "TEMPO", "probability": 30, "from": "2018-09-21T15:00:00Z", "to": "2018-09-21T17:00:00Z",
     "wind": null, "visibility": {"metres": 4000, "cavok": false}, "weather": ["SHRA"],
     "clouds": [{"amount": "BKN", "base_ft": 1200, "type": null}], "vertical_visibility_ft": null}],
  "unknown": []}})");
    // A page in place of the METAR: no report at all.
    QTest::newRow("RJFK, no METAR")
        << "RJFK"
        << "metar/ZZZZ_1.TXT"
        << "taf/RJFK_2.TXT" << QByteArray(R"({"station": "RJFK", "metar": null,
"taf": {"raw": "TAF RJFK 151706Z 1518/1700 29007KT 9999 FEW025", "time": "2018-09-15T17:06:00Z",
  "valid_from": "2018-09-15T18:00:00Z", "valid_to": "2018-09-17T00:00:00Z",
  "base": {"wind": {"direction": 290, "variable": false, "speed": 7, "gust": null, "unit": "KT", "from": null, "to": null},
           "visibility": {"metres": 9999, "cavok": false}, "weather": [],
           "clouds": [{"amount": "FEW", "base_ft": 2500, "type": null}], "vertical_visibility_ft": null},
  "changes": [], "unknown": []}})");
}

void TestReportDecode::json()
{
    QFETCH(QString, station);
    QFETCH(QString, metarFile);
    QFETCH(QString, tafFile);
    QFETCH(QByteArray, expected);
    QJsonParseError error;
    const QJsonDocument wanted = QJsonDocument::fromJson(expected, &error);
    QCOMPARE(error.errorString(), QJsonParseError().errorString());
    const QJsonDocument json = DecodingJson(
        DecodeStationFiles(station, readStationFile(metarFile), readStationFile(tafFile)));
    // Written and read back: what a script gets.
    const QJsonDocument read = QJsonDocument::fromJson(json.toJson(QJsonDocument::Compact), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    for (const QString &key :
         {QStringLiteral("station"), QStringLiteral("metar"), QStringLiteral("taf")})
        QCOMPARE(read.object().value(key), wanted.object().value(key));
    QCOMPARE(read, wanted);
}

void TestReportDecode::textForm()
{
    // A missing report reads as the ticker's fixed text.
    const ReportDecoding missing =
        DecodeStationFiles(QStringLiteral("RJTT"), QString(), readStationFile("taf/ZZZZ_1.TXT"));
    const QStringList lines = DecodingText(missing, QDateTime()).split(u'\n');
    QVERIFY(lines.contains(QLatin1String(noObservation)));
    QVERIFY(lines.contains(QLatin1String(noForecast)));

    // The group as written, then its meaning; change groups a step in; times in the order asked.
    const ReportDecoding both =
        DecodeStationFiles(QStringLiteral("RJAA"), readStationFile("metar/RJAA_1.TXT"),
                           readStationFile("taf/RJAA_1.TXT"));
    const QString jstFirst = DecodingText(both, utc(2018, 8, 31, 10, 5));
    QVERIFY2(jstFirst.contains(QStringLiteral("\n  Q1008               QNH 1008 hPa\n")),
             qPrintable(jstFirst));
    QVERIFY(jstFirst.contains(QStringLiteral("\n    TSRA              雷電（並の雨を伴う）\n")));
    QVERIFY(jstFirst.contains(QStringLiteral("31日 18:30 JST（31日 09:30 UTC）、35 分前\n")));
    DecodeOptions options;
    options.utcFirst = true;
    const QString utcFirst =
        DecodingText(DecodeStationFiles(QStringLiteral("RJAA"), readStationFile("metar/RJAA_1.TXT"),
                                        QString(), options),
                     QDateTime());
    QVERIFY(utcFirst.contains(
        QStringLiteral("（定時飛行場実況気象通報）  31日 09:30 UTC（31日 18:30 JST）\n")));
    QVERIFY(utcFirst.contains(QStringLiteral("観測時刻 31日 09:30 UTC（31日 18:30 JST）\n")));
    // 20:00 UTC is the next day in Japan.
    QCOMPARE(MomentText(utc(2018, 8, 31, 20, 0), false),
             QStringLiteral("1日 05:00 JST（31日 20:00 UTC）"));
    QCOMPARE(AgeText(3 * 24 * 60 + 4 * 60 + 10), QStringLiteral("3 日 4 時間前"));
}

QTEST_GUILESS_MAIN(TestReportDecode)
#include "test_reportdecode.moc"
