// Report ages across day, month and year ends, and the time line as the fallback.
#include "ticker/ReportAge.h"

#include <QtTest>

class TestReportAge : public QObject
{
    Q_OBJECT

private slots:
    void age_data();
    void age();
};

void TestReportAge::age_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("now");
    QTest::addColumn<qint64>("minutes"); // -1: none

    const QString line = QStringLiteral("2026/12/07 12:30\n");
    QTest::newRow("same day") << line + QStringLiteral("RJTT 071230Z 34008KT 9999 FEW030")
                              << "2026-12-07T14:05:00Z" << qint64(95);
    QTest::newRow("past midnight")
        << line + QStringLiteral("RJTT 072330Z 34008KT") << "2026-12-08T00:10:00Z" << qint64(40);
    QTest::newRow("month end") << line + QStringLiteral("RJTT 302350Z 34008KT")
                               << "2026-12-01T00:20:00Z" << qint64(30);
    QTest::newRow("year end") << line + QStringLiteral("RJTT 312350Z 34008KT")
                              << "2027-01-01T00:05:00Z" << qint64(15);
    // The 31st cannot be in November: the last month that has one.
    QTest::newRow("31st after a 30-day month")
        << line + QStringLiteral("RJTT 311200Z 34008KT") << "2026-12-01T00:00:00Z"
        << qint64(30 * 24 * 60 + 12 * 60);
    QTest::newRow("clock a little behind")
        << line + QStringLiteral("RJTT 071235Z 34008KT") << "2026-12-07T12:30:00Z" << qint64(0);
    QTest::newRow("clock a little behind at a month's end")
        << line + QStringLiteral("RJTT 010010Z 34008KT") << "2026-11-30T23:30:00Z" << qint64(0);
    QTest::newRow("unreadable group: the time line")
        << line + QStringLiteral("RJTT 07123Z 34008KT") << "2026-12-07T13:00:00Z" << qint64(30);
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
