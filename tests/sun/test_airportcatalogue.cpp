// Airport catalogue: the window's list, lookup by exact name, and the bounds of every entry.
#include "sun/AirportCatalogue.h"
#include "support/Degrees.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <iterator>

class TestAirportCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void listItems();
    void lookup_data();
    void lookup();
    void noMatch_data();
    void noMatch();
    void everyEntryIsWellFormed();
    void nameOfAnIndicator_data();
    void nameOfAnIndicator();
};

void TestAirportCatalogue::listItems()
{
    const QStringList names = catalogueNames();
    QCOMPARE(names.size(), 186);
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 186);
    QVERIFY(!names.contains(QStringLiteral("---")));

    const QStringList items = catalogueListItems();
    QCOMPARE(items.size(), 188);
    QCOMPARE(items.count(QStringLiteral("---")), 2);
    QCOMPARE(items.at(128), QStringLiteral("与論"));
    QCOMPARE(items.at(129), QStringLiteral("---"));
    QCOMPARE(items.at(130), QStringLiteral("阿見"));
    QCOMPARE(items.at(138), QStringLiteral("弟子屈"));
    QCOMPARE(items.at(139), QStringLiteral("---"));
    QCOMPARE(items.at(140), QStringLiteral("明石川崎(H)"));

    // Apart from the separators the list is the catalogue, in order.
    QStringList withoutSeparators = items;
    withoutSeparators.removeAll(QStringLiteral("---"));
    QCOMPARE(withoutSeparators, names);
}

void TestAirportCatalogue::lookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<float>("latitude");
    QTest::addColumn<float>("longitude");
    QTest::addColumn<QString>("latitudeText");
    QTest::addColumn<QString>("longitudeText");
    QTest::addColumn<float>("elevation");

    QTest::newRow("first entry") << "旭川"
                                 << "RJEC" << degrees(43, 40, 15) << degrees(142, 26, 51)
                                 << "43 40 15 N"
                                 << "142 26 51 E" << 690.0f;
    // Two names, one indicator and position: each name still finds its own entry.
    QTest::newRow("hyakuri") << "百里"
                             << "RJAH" << degrees(36, 10, 54) << degrees(140, 24, 53)
                             << "36 10 54 N"
                             << "140 24 53 E" << 105.0f;
    QTest::newRow("ibaraki") << "茨城"
                             << "RJAH" << degrees(36, 10, 54) << degrees(140, 24, 53)
                             << "36 10 54 N"
                             << "140 24 53 E" << 105.0f;
    QTest::newRow("aerodrome sharing a heliport's place")
        << "館山"
        << "RJTE" << degrees(34, 59, 15) << degrees(139, 49, 55) << "34 59 15 N"
        << "139 49 55 E" << 10.0f;
    QTest::newRow("heliport without indicator")
        << "館山(H)"
        << "" << degrees(34, 59, 15) << degrees(139, 49, 55) << "34 59 15 N"
        << "139 49 55 E" << 10.0f;
    QTest::newRow("elevation zero")
        << "岡南"
        << "RJBK" << degrees(34, 35, 29) << degrees(133, 56, 0) << "34 35 29 N"
        << "133 56 00 E" << 0.0f;
    QTest::newRow("southernmost") << "波照間"
                                  << "RORH" << degrees(24, 3, 30) << degrees(123, 48, 14)
                                  << "24 03 30 N"
                                  << "123 48 14 E" << 43.0f;
    QTest::newRow("northernmost") << "礼文"
                                  << "RJCR" << degrees(45, 27, 18) << degrees(141, 2, 21)
                                  << "45 27 18 N"
                                  << "141 02 21 E" << 89.0f;
    QTest::newRow("westernmost") << "与那国"
                                 << "ROYN" << degrees(24, 28, 1) << degrees(122, 58, 40)
                                 << "24 28 01 N"
                                 << "122 58 40 E" << 53.0f;
    QTest::newRow("easternmost") << "南鳥島"
                                 << "RJAM" << degrees(24, 18, 12) << degrees(153, 57, 58)
                                 << "24 18 12 N"
                                 << "153 57 58 E" << 22.0f;
    QTest::newRow("two-decimal elevation")
        << "喜界"
        << "RJKI" << degrees(28, 19, 17) << degrees(129, 55, 41) << "28 19 17 N"
        << "129 55 41 E" << 15.26f;
    QTest::newRow("first airfield")
        << "阿見"
        << "" << degrees(36, 1, 26) << degrees(140, 16, 0) << "36 01 26 N"
        << "140 16 00 E" << 66.0f;
    QTest::newRow("last entry") << "湯村温泉(H)"
                                << "" << degrees(35, 31, 46) << degrees(134, 29, 33) << "35 31 46 N"
                                << "134 29 33 E" << 1039.0f;
}

void TestAirportCatalogue::lookup()
{
    QFETCH(QString, name);
    QFETCH(QString, indicator);
    QFETCH(float, latitude);
    QFETCH(float, longitude);
    QFETCH(QString, latitudeText);
    QFETCH(QString, longitudeText);
    QFETCH(float, elevation);

    const std::optional<CatalogueEntry> entry = findCatalogueEntry(name);
    QVERIFY(entry.has_value());
    QCOMPARE(entry->name, name);
    QCOMPARE(entry->indicator, indicator);
    QCOMPARE(entry->latitude, latitude);
    QCOMPARE(entry->longitude, longitude);
    QCOMPARE(entry->latitudeText, latitudeText);
    QCOMPARE(entry->longitudeText, longitudeText);
    QCOMPARE(entry->elevation, elevation);
}

void TestAirportCatalogue::noMatch_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("separator") << "---";
    QTest::newRow("empty") << "";
    QTest::newRow("prefix of a name") << "旭";
    QTest::newRow("trailing blank") << "館山 ";
    QTest::newRow("other case") << "館山(h)";
    QTest::newRow("indicator") << "RJEC";
    QTest::newRow("embedded NUL") << QString(QStringLiteral("旭川") + QChar(0) +
                                             QStringLiteral("x"));
}

void TestAirportCatalogue::noMatch()
{
    QFETCH(QString, name);
    QVERIFY(!findCatalogueEntry(name).has_value());
}

void TestAirportCatalogue::nameOfAnIndicator_data()
{
    QTest::addColumn<QString>("indicator");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("area");
    const auto row = [](const char *tag, const char *indicator, const char *name,
                        const char *area) {
        QTest::newRow(tag) << QString::fromUtf8(indicator) << QString::fromUtf8(name)
                           << QString::fromUtf8(area);
    };
    row("an airport", "RJTT", "東京(羽田)", "東日本");
    row("lower case, blanks", " rjcc ", "新千歳", "北海道");
    // Two entries share it: the first in the catalogue's order.
    row("shared", "RJAH", "百里", "東日本");
    row("Tohoku", "RJSS", "仙台", "東北");
    row("Kinki", "RJOO", "大阪", "西日本");
    row("the Amami islands of Kagoshima", "RJKA", "奄美", "奄美");
    row("Kagoshima itself", "RJFK", "鹿児島", "西日本");
    row("Okinawa", "ROAH", "那覇", "沖縄");
    row("Hokuriku counts as the east", "RJNK", "小松", "東日本");
    row("outside Japan", "KJFK", "", "");
    row("empty: not an airfield without one", "", "", "");
    row("not Latin-1", "東京", "", "");
}

void TestAirportCatalogue::nameOfAnIndicator()
{
    QFETCH(QString, indicator);
    QFETCH(QString, name);
    QFETCH(QString, area);
    QCOMPARE(catalogueNameOf(indicator), name);
    QCOMPARE(catalogueAreaOf(indicator), area);
}

void TestAirportCatalogue::everyEntryIsWellFormed()
{
    const QRegularExpression latitudeText(QStringLiteral("^\\d\\d \\d\\d \\d\\d N$"));
    const QRegularExpression longitudeText(QStringLiteral("^\\d\\d\\d \\d\\d \\d\\d E$"));
    const QRegularExpression indicator(QStringLiteral("^[A-Z]{4}$"));
    const QStringList names = catalogueNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::optional<CatalogueEntry> entry = findCatalogueEntry(names.at(i));
        QVERIFY2(entry.has_value(), qPrintable(names.at(i)));
        QCOMPARE(entry->name, names.at(i));
        QVERIFY2(entry->latitude >= 24.0f && entry->latitude <= 46.0f, qPrintable(entry->name));
        QVERIFY2(entry->longitude >= 122.0f && entry->longitude <= 154.0f, qPrintable(entry->name));
        QVERIFY2(latitudeText.match(entry->latitudeText).hasMatch(), qPrintable(entry->name));
        QVERIFY2(longitudeText.match(entry->longitudeText).hasMatch(), qPrintable(entry->name));
        QVERIFY2(entry->elevation >= 0.0f, qPrintable(entry->name));
        // Aerodromes (the first 129) carry an indicator; airfields and heliports have none.
        if (i < 129)
            QVERIFY2(indicator.match(entry->indicator).hasMatch(), qPrintable(entry->name));
        else
            QVERIFY2(entry->indicator.isEmpty(), qPrintable(entry->name));
        if (i >= 138)
            QVERIFY2(entry->name.endsWith(QStringLiteral("(H)")), qPrintable(entry->name));
        // Each area on the map, loosely: an entry put in the wrong area falls outside its box.
        struct Box
        {
            const char *area;
            float south, north, west, east;
        };
        static constexpr Box boxes[] = {
            {"北海道", 41.3f, 46.0f, 139.3f, 146.0f}, {"東北", 36.7f, 41.6f, 139.0f, 142.1f},
            {"東日本", 24.0f, 38.6f, 135.7f, 154.0f}, {"西日本", 30.0f, 36.3f, 128.5f, 136.9f},
            {"奄美", 27.0f, 28.6f, 128.3f, 130.1f},   {"沖縄", 24.0f, 27.0f, 122.9f, 131.4f},
        };
        const auto box = std::find_if(std::begin(boxes), std::end(boxes), [&](const Box &b) {
            return entry->area == QString::fromUtf8(b.area);
        });
        QVERIFY2(box != std::end(boxes), qPrintable(entry->name + entry->area));
        QVERIFY2(entry->latitude >= box->south && entry->latitude <= box->north &&
                     entry->longitude >= box->west && entry->longitude <= box->east,
                 qPrintable(entry->name + QLatin1Char(' ') + entry->area));
    }
}

QTEST_GUILESS_MAIN(TestAirportCatalogue)
#include "test_airportcatalogue.moc"
