// The settings read for the command line: as the file is, never written, an older file's
// missing sources at their defaults.
#include "platform/SqlDatabase.h"
#include "store/DisplayOptions.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

namespace {

QByteArray digest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

/// Copies into `into` the settings file of `copy` and its journal as a write killed half-way
/// leaves them: part of the write in the file, the pages before it in the journal.
bool interruptWrite(const TestDatabase &copy, const QString &into)
{
    SqlDatabase writer;
    if (!writer.open(copy.path(), QByteArray(SettingsStore::password)) ||
        !writer.execute(QStringLiteral("PRAGMA cache_size = 10")) ||
        !writer.execute(QStringLiteral("BEGIN")) ||
        !writer.execute(QStringLiteral("UPDATE setting SET autochangerate = 45")) ||
        !writer.execute(
            QStringLiteral("UPDATE airportlist SET jpn = jpn || '%1'").arg(QString(300, u'x'))))
        return false;
    const QString file = into + QStringLiteral("/tarnbeck.dat");
    return QFile::copy(copy.path(), file) &&
           QFile::copy(copy.path() + QStringLiteral("-journal"), file + QStringLiteral("-journal"));
}

/// Whether `text` is in one language once the paths in it are taken out: no Latin word in the
/// Japanese (the program's name aside), nothing but ASCII in the English.
bool inOneLanguage(QString text, bool japanese, const QStringList &paths)
{
    for (const QString &path : paths)
        text.remove(path);
    if (japanese)
        return !text.remove(QStringLiteral("Tarnbeck"))
                    .contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x7f; });
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
    void interruptedWriteReadsTheLastSaved();
    void messagesInOneLanguage_data();
    void messagesInOneLanguage();
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
    // The table named in English, for the command line and the log.
    QVERIFY2(store.englishError().contains(QLatin1String("airportlist")),
             qPrintable(store.englishError()));
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

void TestReadOnlyStore::interruptedWriteReadsTheLastSaved()
{
    TestDatabase copy;
    QVERIFY(copy.execute(QStringLiteral("UPDATE setting SET autochangerate = 20")));
    QTemporaryDir left;
    QVERIFY(interruptWrite(copy, left.path()));
    const QString file = left.filePath(QStringLiteral("tarnbeck.dat"));
    const QString journal = file + QStringLiteral("-journal");
    QVERIFY(digest(file) != digest(copy.path())); // part of the write reached the file
    const QByteArray fileBefore = digest(file);
    const QByteArray journalBefore = digest(journal);

    SettingsStore reader(left.path());
    QVERIFY2(reader.OpenSettingsReadOnly(), qPrintable(reader.englishError()));
    QCOMPARE(reader.settings().autochangerate, 20);
    QVERIFY(!reader.airportListRows().value(QStringLiteral("jpn")).toString().endsWith(u'x'));
    QVERIFY2(reader.notice().contains(journal), qPrintable(reader.notice()));
    reader.CloseSettings();
    // Nothing written: the ticker rolls the write back with the journal as it was left.
    QCOMPARE(digest(file), fileBefore);
    QCOMPARE(digest(journal), journalBefore);
    SettingsStore ticker(left.path());
    QVERIFY(ticker.OpenSettings());
    QCOMPARE(ticker.settings().autochangerate, 20);
    QVERIFY(!QFile::exists(journal));
}

void TestReadOnlyStore::messagesInOneLanguage_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("said"); // in both languages' messages
    QTest::newRow("missing") << "missing" << QString();
    QTest::newRow("not a database") << "garbage" << QString();
    QTest::newRow("a table missing") << "table" << QString();
    // Where no copy can be made to read it as last saved: what it is and what to do.
    QTest::newRow("interrupted write, no room for a copy") << "journal"
                                                           << "-journal";
}

void TestReadOnlyStore::messagesInOneLanguage()
{
    QFETCH(QString, damage);
    QFETCH(QString, said);
    TestDatabase copy;
    QTemporaryDir left;
    QString directory = copy.directory();
    if (damage == QLatin1String("missing")) {
        QVERIFY(QFile::remove(copy.path()));
    } else if (damage == QLatin1String("garbage")) {
        QFile file(copy.path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
    } else if (damage == QLatin1String("table")) {
        QVERIFY(copy.execute(QStringLiteral("DROP TABLE airportlist")));
    } else {
        QVERIFY(interruptWrite(copy, left.path()));
        directory = left.path();
    }
    // A file where the temporary folder should be: no copy can be made, even by root.
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(copy.path() + QStringLiteral("-blocker")));
    QFile blocker(copy.path() + QStringLiteral("-blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SettingsStore store(directory);
    const bool opened = store.OpenSettingsReadOnly();
    if (tmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", tmp);
    QVERIFY(!opened);
    const QString file = store.databasePath();
    const QStringList paths{file + QStringLiteral("-journal"), file};
    QVERIFY2(inOneLanguage(store.errorString(), true, paths), qPrintable(store.errorString()));
    QVERIFY2(inOneLanguage(store.englishError(), false, paths), qPrintable(store.englishError()));
    for (const QString &message : {store.errorString(), store.englishError()})
        QVERIFY2(message.contains(file + said), qPrintable(message));
    if (!said.isEmpty())
        QVERIFY2(store.englishError().contains(QLatin1String("Start the ticker")),
                 qPrintable(store.englishError()));
}

QTEST_GUILESS_MAIN(TestReadOnlyStore)
#include "test_readonlystore.moc"
