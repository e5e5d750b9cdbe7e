// The targets the ticker hands to the chart window's menu "気象庁": every target, named from the
// airport catalogue, in the list's order whichever is shown, the airport shown now marked.
#include "support/TickerFixture.h"

#include <QtTest>

class TestChartTargets : public QObject
{
    Q_OBJECT

private slots:
    void listOrderWithTheShownMarked_data();
    void listOrderWithTheShownMarked();
};

void TestChartTargets::listOrderWithTheShownMarked_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("order"); // the shown one starred
    QTest::newRow("the first shown") << "RJAA" << QStringList{"RJAA*", "RJTT", "KJFK"};
    QTest::newRow("the second shown") << "RJTT" << QStringList{"RJAA", "RJTT*", "KJFK"};
    QTest::newRow("the last shown") << "KJFK" << QStringList{"RJAA", "RJTT", "KJFK*"};
}

void TestChartTargets::listOrderWithTheShownMarked()
{
    QFETCH(QString, shown);
    QFETCH(QStringList, order);
    TickerFixture fixture;
    QVERIFY(fixture.setTargets({{QStringLiteral("RJAA"), true},
                                {QStringLiteral("RJTT"), false},
                                {QStringLiteral("KJFK"), true}}));
    TickerSession *ticker = fixture.load();
    QVERIFY(ticker);
    // Marked once its report is on the desktop.
    ticker->cycle().chooseAirport(shown);
    QVERIFY(QTest::qWaitFor([&] { return ticker->cycle().shownAirport() == shown; }, 5000));
    const QList<ChartTarget> targets = ticker->menu().chartTargets();
    QStringList codes;
    for (const ChartTarget &target : targets)
        codes.append(target.icao + (target.shown ? QStringLiteral("*") : QString()));
    QCOMPARE(codes, order);
    const auto named = [&](const QString &icao) {
        for (const ChartTarget &target : targets) {
            if (target.icao == icao)
                return target.name;
        }
        return QStringLiteral("(missing)");
    };
    QCOMPARE(named(QStringLiteral("RJTT")), QStringLiteral("東京(羽田)"));
    QCOMPARE(named(QStringLiteral("RJAA")), QStringLiteral("成田"));
    QCOMPARE(named(QStringLiteral("KJFK")), QString()); // unknown to the catalogue
    // The area from the catalogue; the shown one's reports read out for the briefing.
    for (const ChartTarget &target : targets) {
        QCOMPARE(target.area,
                 target.icao == QLatin1String("KJFK") ? QString() : QStringLiteral("東日本"));
        QVERIFY2(target.shown == target.briefing.contains(QStringLiteral("34008KT")),
                 qPrintable(target.icao + target.briefing));
    }
}

QTEST_MAIN(TestChartTargets)
#include "test_charttargets.moc"
