// The settings read for the command line: as the file is, never written, an older file's
// missing sources at their defaults.
#include "platform/SqlDatabase.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtTest>

namespace {

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestReadOnlyStore : public QObject
{
    Q_OBJECT

private slots:
    void olderFileIsReadAsItIs_data();
    void olderFileIsReadAsItIs();
    void damagedFileIsToldAndLeft();
    void anyFileName();
    void seesWhatTheTickerSaved();
};

void TestReadOnlyStore::olderFileIsReadAsItIs_data()
{
    QTest::addColumn<bool>("withOption");
    QTest::addColumn<QString>("removed"); // which host rows the older file lacks
    QTest::newRow("before the second report server") << false << "name = 'report2'";
    QTest::newRow("before the web windows") << false << "name LIKE 'chart%' OR name LIKE 'camera%'";
    QTest::newRow("no host rows") << true << "1";
    QTest::newRow("up to date") << true << "0";
}

void TestReadOnlyStore::olderFileIsReadAsItIs()
{
    QFETCH(bool, withOption);
    QFETCH(QString, removed);
    TestDatabase copy;
    QVERIFY(copy.isValid());
    if (!withOption)
        QVERIFY(copy.execute(QStringLiteral("DROP TABLE option")));
    else
        QVERIFY(copy.execute(QStringLiteral("INSERT OR REPLACE INTO option VALUES "
                                            "('showcategory', '1'), ('oldminutes', '105')")));
    QVERIFY(copy.execute(QStringLiteral("DELETE FROM host WHERE ") + removed));
    QVERIFY(copy.execute(QStringLiteral("UPDATE host SET url = 'http://mine.test/' "
                                        "WHERE name = 'report'")));
    const QByteArray before = digest(copy.path());

    SettingsStore store(copy.directory());
    QVERIFY2(store.OpenSettingsReadOnly(), qPrintable(store.errorString()));
    const QHash<QString, QString> hosts = store.hosts();
    for (const Source &source : AllSources()) {
        const QString name = QLatin1String(source.name);
        const bool kept = name == QLatin1String("report") && removed != QLatin1String("1");
        const QString expected =
            kept ? QStringLiteral("http://mine.test") : QString::fromUtf8(source.defaultAddress);
        QCOMPARE(store.host(name), expected);
        QCOMPARE(hosts.value(name), expected);
    }
    const DisplayOptions options = LoadDisplayOptions(store);
    QCOMPARE(options.showCategory, withOption);
    QCOMPARE(options.oldMinutes, withOption ? 105 : 75);
    QVERIFY(!store.targetAirports().isEmpty());
    QVERIFY(store.coordinatesOf(QStringLiteral("RJTT")).has_value());
    store.CloseSettings();
    QCOMPARE(digest(copy.path()), before);
}

void TestReadOnlyStore::damagedFileIsToldAndLeft()
{
    TestDatabase copy;
    QVERIFY(copy.execute(QStringLiteral("DROP TABLE airportlist")));
    const QByteArray before = digest(copy.path());
    SettingsStore store(copy.directory());
    QVERIFY(!store.OpenSettingsReadOnly());
    QVERIFY(!store.isOpen());
    QVERIFY2(store.errorString().contains(copy.path()), qPrintable(store.errorString()));
    QVERIFY2(store.errorString().contains(QLatin1String("airportlist")),
             qPrintable(store.errorString()));
    QCOMPARE(digest(copy.path()), before);
}

void TestReadOnlyStore::anyFileName()
{
    TestDatabase copy;
    QVERIFY(QFile::rename(copy.path(), copy.directory() + QStringLiteral("/mine.dat")));
    SettingsStore store(copy.directory(), QStringLiteral("mine.dat"));
    QVERIFY2(store.OpenSettingsReadOnly(), qPrintable(store.errorString()));
    QCOMPARE(store.databasePath(), copy.directory() + QStringLiteral("/mine.dat"));
    QVERIFY(!QFile::exists(copy.path())); // nothing made under the usual name
}

void TestReadOnlyStore::seesWhatTheTickerSaved()
{
    TestDatabase copy;
    SettingsStore ticker(copy.directory());
    QVERIFY(ticker.OpenSettings());
    SettingsStore reader(copy.directory());
    QVERIFY(reader.OpenSettingsReadOnly());
    QVERIFY(ticker.changeSettings([](Settings &s) { s.autochangerate = 45; }));
    reader.CloseSettings();
    QVERIFY(reader.OpenSettingsReadOnly());
    QCOMPARE(reader.settings().autochangerate, 45);
    // A reader cannot write, whatever it is asked.
    QVERIFY(!reader.setOption(QStringLiteral("x"), QStringLiteral("1")));
    QCOMPARE(ticker.option(QStringLiteral("x"), QStringLiteral("none")), QStringLiteral("none"));
}

QTEST_GUILESS_MAIN(TestReadOnlyStore)
#include "test_readonlystore.moc"
