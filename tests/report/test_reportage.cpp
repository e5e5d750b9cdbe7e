// Report times across day, month and year ends by one rule, for the age and for the second
// source's files; the age from the report's own time, dated by the time line.
#include "report/DataApiReport.h"
#include "report/ReportAge.h"

#include <QtTest>

class TestReportAge : public QObject
{
    Q_OBJECT

private slots:
    void groupTime_data();
    void groupTime();
    void age_data();
    void age();
};

void TestReportAge::groupTime_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("time"); // "yyyy/MM/dd HH:mm"; empty: none

    QTest::newRow("same day") << "071230Z"
                              << "2026-12-07T14:05:00Z"
                              << "2026/12/07 12:30";
    QTest::newRow("past midnight") << "072330Z"
                                   << "2026-12-08T00:10:00Z"
                                   << "2026/12/07 23:30";
    QTest::newRow("month end") << "302350Z"
                               << "2026-12-01T00:20:00Z"
                               << "2026/11/30 23:50";
    QTest::newRow("year end") << "312350Z"
                              << "2027-01-01T00:05:00Z"
                              << "2026/12/31 23:50";
    // The 31st cannot be in November: the last month that has one.
    QTest::newRow("31st after a 30-day month") << "311200Z"
                                               << "2026-12-01T00:00:00Z"
                                               << "2026/10/31 12:00";
    QTest::newRow("clock a little behind") << "071235Z"
                                           << "2026-12-07T12:30:00Z"
                                           << "2026/12/07 12:35";
    QTest::newRow("clock a little behind at a month's end") << "010010Z"
                                                            << "2026-11-30T23:30:00Z"
                                                            << "2026/12/01 00:10";
    QTest::newRow("the next day's first minutes, read at 23:58") << "010003Z"
                                                                 << "2026-11-30T23:58:00Z"
                                                                 << "2026/12/01 00:03";
    QTest::newRow("more than an hour ahead: a month back") << "010100Z"
                                                           << "2026-11-30T23:58:00Z"
                                                           << "2026/11/01 01:00";
    QTest::newRow("no hour 24") << "072400Z"
                                << "2026-12-07T13:00:00Z"
                                << "";
    QTest::newRow("no day 32") << "321200Z"
                               << "2026-12-07T13:00:00Z"
                               << "";
}

void TestReportAge::groupTime()
{
    QFETCH(QString, group);
    QFETCH(QString, now);
    QFETCH(QString, time);
    const QDateTime nowUtc = QDateTime::fromString(now, Qt::ISODate);
    const QString format = QStringLiteral("yyyy/MM/dd HH:mm");
    const auto at = GroupTimeUtc(group, nowUtc);
    QCOMPARE(at ? at->toString(format) : QString(), time);
    // The report's age and the second source's file date it alike.
    const QString report = QStringLiteral("RJTT ") + group + QStringLiteral(" 34008KT");
    const auto reportAt = ReportTimeUtc(report, nowUtc);
    QCOMPARE(reportAt ? reportAt->toString(format) : QString(), time);
    QCOMPARE(StationFileFromDataApi(report, QStringLiteral("RJTT"), false, nowUtc).left(16), time);
}

void TestReportAge::age_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("now");
    QTest::addColumn<qint64>("minutes"); // -1: none

    const QString line = QStringLiteral("2026/12/07 12:30\n");
    QTest::newRow("same day") << line + QStringLiteral("RJTT 071230Z 34008KT 9999 FEW030")
                              << "2026-12-07T14:05:00Z" << qint64(95);
    // The group alone would make it a few days old; the line has the month.
    QTest::newRow("months old: the time line")
        << QStringLiteral("2026/09/05 12:30\nRJTT 051230Z 34008KT") << "2026-12-07T14:05:00Z"
        << qint64(93 * 24 * 60 + 95);
    // The line dates the file, which may be written days after the report.
    QTest::newRow("file written six days after the report")
        << QStringLiteral("2026/12/08 16:00\nRJBB 021600Z 34008KT") << "2026-12-08T16:30:00Z"
        << qint64(6 * 24 * 60 + 30);
    QTest::newRow("a day after the line's: the month before")
        << QStringLiteral("2026/12/01 00:05\nRJTT 302350Z 34008KT") << "2026-12-01T00:20:00Z"
        << qint64(30);
    QTest::newRow("a 31st after a 30-day month")
        << QStringLiteral("2026/12/01 00:05\nRJTT 312350Z 34008KT") << "2026-12-01T00:20:00Z"
        << qint64(30 * 24 * 60 + 30);
    QTest::newRow("across the year's end")
        << QStringLiteral("2027/01/01 00:05\nRJTT 312350Z 34008KT") << "2027-01-01T00:20:00Z"
        << qint64(30);
    QTest::newRow("time line ahead of the clock")
        << QStringLiteral("2026/12/07 12:35\nRJTT 071235Z 34008KT") << "2026-12-07T12:30:00Z"
        << qint64(0);
    QTest::newRow("unreadable group: the time line")
        << line + QStringLiteral("RJTT 07123Z 34008KT") << "2026-12-07T13:00:00Z" << qint64(30);
    QTest::newRow("unreadable time line: the group")
        << QStringLiteral("2026/12/xx 12:30\nRJTT 302350Z 34008KT") << "2026-12-01T00:20:00Z"
        << qint64(30);
    QTest::newRow("nothing readable")
        << QStringLiteral("garbage\nNO OBSERVATION") << "2026-12-07T13:00:00Z" << qint64(-1);
    QTest::newRow("empty") << QString() << "2026-12-07T13:00:00Z" << qint64(-1);
}

void TestReportAge::age()
{
    QFETCH(QString, file);
    QFETCH(QString, now);
    QFETCH(qint64, minutes);
    const std::optional<qint64> age =
        ReportAgeMinutes(file, QDateTime::fromString(now, Qt::ISODate));
    QCOMPARE(age.value_or(-1), minutes);
}

QTEST_GUILESS_MAIN(TestReportAge)
#include "test_reportage.moc"
