// The settings store against real SQLCipher files in a temporary directory.
#include "platform/SqlDatabase.h"
#include "store/Hosts.h"
#include "store/Settings.h"
#include "store/SettingsStore.h"
#include "store/Sources.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QtTest>
#include <thread>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Every row of every table, as text, to prove nothing was lost.
QStringList dump(const QString &path)
{
    SqlDatabase db;
    if (!db.open(path, "pelko"))
        return {QStringLiteral("cannot open: ") + db.errorString()};
    return TableRows(db, {QStringLiteral("setting"), QStringLiteral("airport"),
                          QStringLiteral("airportlist"), QStringLiteral("host")});
}

/// The host rows as stored, name to address.
QMap<QString, QString> hostRows(const QString &path)
{
    SqlDatabase db;
    QMap<QString, QString> rows;
    if (!db.open(path, "pelko"))
        return {{QStringLiteral("cannot open"), db.errorString()}};
    SqlStatement q = db.prepare(QStringLiteral("SELECT name, url FROM host"));
    while (q.next())
        rows.insert(q.value(0).toString(), q.value(1).toString());
    return rows;
}

/// What this system's sqlcipher shell answers to `sql` on `path`, keyed and told `pragmas`.
QString shell(const QString &path, const QString &pragmas, const QString &sql)
{
    QProcess sqlcipher;
    sqlcipher.start(QStringLiteral("sqlcipher"), {path});
    sqlcipher.write(QStringLiteral(".output /dev/null\nPRAGMA key = 'pelko';\n%1\n.output\n%2\n")
                        .arg(pragmas, sql)
                        .toUtf8());
    sqlcipher.closeWriteChannel();
    sqlcipher.waitForFinished();
    return QString::fromUtf8(sqlcipher.readAllStandardOutput()).trimmed();
}

/// The target list as "RJCC* ROAH", a star after each checked one.
QString targetText(SettingsStore &store)
{
    QStringList targets;
    for (const TargetAirport &t : store.targetAirports())
        targets.append(t.airport + (t.checked ? QStringLiteral("*") : QString()));
    return targets.join(QLatin1Char(' '));
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void deliveredDatabase();
    void timediffKeepsItsBlank();
    void storedValuesHeldToBounds_data();
    void storedValuesHeldToBounds();
    void writesReachTheFile();
    void writeWaitsForAnotherReader();
    void targetsRoundTrip_data();
    void targetsRoundTrip();
    void startCounterAndCompactionRule_data();
    void startCounterAndCompactionRule();
    void compactionKeepsEveryRow();
    void compactionStoppedAtEachStep_data();
    void compactionStoppedAtEachStep();
    void unusableFileIsReportedAndLeftAlone_data();
    void unusableFileIsReportedAndLeftAlone();
    void readOnlyFileIsReported();
    void deliveredHostsAreTheSources();
    void olderDatabaseIsBroughtUpToDate_data();
    void olderDatabaseIsBroughtUpToDate();
    void typedAddresses_data();
    void typedAddresses();
    void updateOfAVanishedRowFails();
    void fileExists();
    void fileOfEachSystemOpensChangesAndSaves_data();
    void fileOfEachSystemOpensChangesAndSaves();
};

void TestSettingsStore::deliveredDatabase()
{
    TestDatabase copy;
    QVERIFY(copy.isValid());
    SettingsStore store(copy.directory());
    QVERIFY2(store.OpenSettings(), qPrintable(store.errorString()));

    QCOMPARE(store.settingRows().RecordCount(), 1);
    // Stored list texts must be entries of the settings window's lists.
    QCOMPARE(store.setting("fontsize").toString(), QStringLiteral("10"));
    QCOMPARE(store.setting("autochangerate").toString(), QStringLiteral("20"));
    QCOMPARE(store.setting("timediff").toString(), QStringLiteral("+9"));
    QCOMPARE(store.setting("scrollrate").toInt(), 50);
    QVERIFY(store.settings().getTAF);
    QVERIFY(store.settings().getSUNSET);
    // The delivered row is what the table of fields calls the defaults.
    QCOMPARE(store.settings(), Settings::defaults());
    QCOMPARE(store.setting("posX").toDouble(), 0.0);
    QCOMPARE(store.setting("startup").toInt(), 0);

    const QList<TargetAirport> targets = store.targetAirports();
    QVERIFY(targets.size() >= 3);
    QCOMPARE(targets.first(), (TargetAirport{QStringLiteral("RJTT"), true}));

    // The known airports come sorted by number and hold each indicator once.
    RecordSet &list = store.airportListRows();
    QCOMPARE(list.RecordCount(), 128);
    QSet<QString> seen;
    int previous = 0;
    for (list.MoveFirst(); !list.AtEOF(); list.MoveNext()) {
        QVERIFY(list.value("number").toInt() > previous);
        previous = list.value("number").toInt();
        QVERIFY(!seen.contains(list.value("airport").toString()));
        seen.insert(list.value("airport").toString());
    }
    const auto hyakuri = store.coordinatesOf(QStringLiteral("RJAH"));
    QVERIFY(hyakuri);
    QCOMPARE(hyakuri->lat, QStringLiteral("361054"));
    QCOMPARE(hyakuri->lon, QStringLiteral("1402453"));
    QVERIFY(!store.coordinatesOf(QStringLiteral("ZZZZ")));

    QCOMPARE(store.host(QStringLiteral("report")), QStringLiteral("https://tgftp.nws.noaa.gov"));
    QCOMPARE(store.host(QStringLiteral("no such host")), QString());

    // Every host is used the same way: paths are appended to it without a doubled "/".
    QVERIFY(copy.setAllHosts(QStringLiteral(" http://h.test// ")));
    for (const char *name : {"home", "report", "programpage", "chart9"}) {
        QCOMPARE(store.host(QLatin1String(name)), QStringLiteral("http://h.test"));
        QCOMPARE(store.hosts().value(QLatin1String(name)), QStringLiteral("http://h.test"));
    }
}

void TestSettingsStore::timediffKeepsItsBlank()
{
    TestDatabase copy;
    {
        SettingsStore store(copy.directory());
        QVERIFY(store.OpenSettings());
        QVERIFY(store.writeSetting(QStringLiteral("timediff"), QStringLiteral(" 0")));
        QCOMPARE(store.setting("timediff").toString(), QStringLiteral(" 0"));
        store.CloseSettings();
    }
    SettingsStore reopened(copy.directory());
    QVERIFY(reopened.OpenSettings());
    QCOMPARE(reopened.setting("timediff").toString(), QStringLiteral(" 0"));
}

void TestSettingsStore::storedValuesHeldToBounds_data()
{
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("read");
    QTest::newRow("size too big") << "fontsize = '25'"
                                  << "fontsize"
                                  << "18";
    QTest::newRow("size too small") << "fontsize = '1'"
                                    << "fontsize"
                                    << "3";
    QTest::newRow("interval too short") << "autochangerate = '5'"
                                        << "autochangerate"
                                        << "10";
    QTest::newRow("interval too long") << "autochangerate = 900"
                                       << "autochangerate"
                                       << "90";
    QTest::newRow("scroll step") << "scrollrate = 500"
                                 << "scrollrate"
                                 << "100";
    QTest::newRow("starts") << "startup = 40000"
                            << "startup"
                            << "32767";
    QTest::newRow("hours ahead") << "timediff = '+30'"
                                 << "timediff"
                                 << "+23";
    QTest::newRow("hours behind") << "timediff = '-99'"
                                  << "timediff"
                                  << "-23";
    QTest::newRow("hours unreadable") << "timediff = 'abc'"
                                      << "timediff"
                                      << "+9";
    QTest::newRow("colour") << "forecolor = -5"
                            << "forecolor"
                            << "0";
    QTest::newRow("any non-zero flag") << "getTAF = 7"
                                       << "getTAF"
                                       << "1";
}

void TestSettingsStore::storedValuesHeldToBounds()
{
    QFETCH(QString, assignment);
    QFETCH(QString, field);
    QFETCH(QString, read);
    TestDatabase copy;
    QVERIFY(copy.execute(QStringLiteral("UPDATE setting SET ") + assignment));
    SettingsStore store(copy.directory());
    QVERIFY(store.OpenSettings());
    const Settings s = store.settings();
    const QHash<QString, QString> values{{"fontsize", QString::number(s.fontsize)},
                                         {"autochangerate", QString::number(s.autochangerate)},
                                         {"scrollrate", QString::number(s.scrollrate)},
                                         {"startup", QString::number(s.startup)},
                                         {"timediff", s.timediff},
                                         {"forecolor", QString::number(s.forecolor)},
                                         {"getTAF", QString::number(s.getTAF)}};
    QCOMPARE(values.value(field), read);
    // Saved back, the held value is what the file then holds; nothing else is written.
    QVERIFY(store.saveSettings(s));
    QVERIFY(store.RefreshSettingRows());
    QCOMPARE(store.settings(), s);
}

void TestSettingsStore::writesReachTheFile()
{
    TestDatabase copy;
    SettingsStore store(copy.directory());
    QVERIFY(store.OpenSettings());
    QVERIFY(store.writeSettings(
        {{QStringLiteral("posX"), 1234.5}, {QStringLiteral("autochange"), false}}));

    {
        // A second connection sees the change at once: each Update is committed on its own.
        SqlDatabase other;
        QVERIFY(other.open(copy.path(), "pelko"));
        SqlStatement q = other.prepare(QStringLiteral("SELECT posX, autochange FROM setting"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 1234.5);
        QCOMPARE(q.value(1).toInt(), 0);
    }

    QVERIFY(store.writeSetting(QStringLiteral("autochange"), true));
    QVERIFY(store.RefreshSettingRows());
    QCOMPARE(store.setting("autochange").toInt(), -1); // Yes/No is stored as -1
}

void TestSettingsStore::writeWaitsForAnotherReader()
{
    TestDatabase copy;
    SettingsStore store(copy.directory());
    QVERIFY(store.OpenSettings());

    // Another connection holds a read lock for a moment, as a second tool reading the file would.
    QSemaphore reading;
    std::thread reader([&] {
        SqlDatabase other;
        const bool locked =
            other.open(copy.path(), "pelko") &&
            other.execute(QStringLiteral("BEGIN; SELECT count(*) FROM setting, airportlist;"));
        reading.release();
        if (!locked)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.execute(QStringLiteral("COMMIT;"));
    });
    reading.acquire();
    const bool written = store.writeSetting(QStringLiteral("posX"), 4321.0);
    reader.join();
    QVERIFY2(written, qPrintable(store.errorString()));
    QVERIFY(store.RefreshSettingRows());
    QCOMPARE(store.setting("posX").toDouble(), 4321.0);
}

void TestSettingsStore::targetsRoundTrip_data()
{
    QTest::addColumn<QList<TargetAirport>>("targets");
    QTest::newRow("empty") << QList<TargetAirport>{};
    QTest::newRow("one") << QList<TargetAirport>{{QStringLiteral("RJCC"), false}};
    QTest::newRow("order kept") << QList<TargetAirport>{{QStringLiteral("ROAH"), true},
                                                        {QStringLiteral("RJTT"), false},
                                                        {QStringLiteral("RJAA"), true},
                                                        {QStringLiteral("RJFF"), true}};
}

void TestSettingsStore::targetsRoundTrip()
{
    QFETCH(QList<TargetAirport>, targets);
    TestDatabase copy;
    {
        SettingsStore store(copy.directory());
        QVERIFY(store.OpenSettings());
        QVERIFY2(store.ReplaceTargets(targets), qPrintable(store.errorString()));
        QCOMPARE(store.targetAirports(), targets);
        store.CloseSettings();
    }
    SettingsStore reopened(copy.directory());
    QVERIFY(reopened.OpenSettings());
    QCOMPARE(reopened.airportRows().RecordCount(), targets.size());
    QCOMPARE(reopened.targetAirports(), targets);
    // Numbers are rewritten 1, 2, 3, ... in list order.
    int expected = 0;
    for (reopened.airportRows().MoveFirst(); !reopened.airportRows().AtEOF();
         reopened.airportRows().MoveNext())
        QCOMPARE(reopened.airportRows().value("number").toInt(), ++expected);
}

void TestSettingsStore::startCounterAndCompactionRule_data()
{
    QTest::addColumn<int>("startupBefore");
    QTest::addColumn<bool>("compactDue");
    QTest::addColumn<int>("startupAfter");
    // The start brings the count to 100: no compaction; to 101: reset and compact.
    QTest::newRow("99 -> 100") << 99 << false << 100;
    QTest::newRow("100 -> 101") << 100 << true << 0;
    QTest::newRow("first start") << 0 << false << 1;
}

void TestSettingsStore::startCounterAndCompactionRule()
{
    QFETCH(int, startupBefore);
    QFETCH(bool, compactDue);
    QFETCH(int, startupAfter);
    TestDatabase copy;
    QVERIFY(copy.execute(QStringLiteral("UPDATE setting SET startup = %1").arg(startupBefore)));

    SettingsStore store(copy.directory());
    QVERIFY(store.OpenSettings());
    QVERIFY(store.changeSettings([](Settings &s) { ++s.startup; }));
    bool due = !compactDue;
    QVERIFY(store.SaveExitState(1500.0f, 3000.0f, &due));
    QCOMPARE(due, compactDue);
    store.CloseSettings();
    if (due)
        QVERIFY2(store.CompactSettings(), qPrintable(store.errorString()));

    QVERIFY(store.OpenSettings());
    QCOMPARE(store.setting("startup").toInt(), startupAfter);
    QCOMPARE(store.setting("posX").toFloat(), 1500.0f);
    QCOMPARE(store.setting("posY").toFloat(), 3000.0f);
}

void TestSettingsStore::compactionKeepsEveryRow()
{
    TestDatabase copy;
    const QString temp = copy.directory() + QStringLiteral("/tarnbeck_tmp.dat");
    {
        QFile leftover(temp); // an earlier, interrupted compaction
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write("half a database");
    }
    const QStringList before = dump(copy.path());
    QVERIFY(before.size() > 100);

    SettingsStore store(copy.directory());
    QVERIFY2(store.CompactSettings(), qPrintable(store.errorString()));
    QVERIFY(!QFile::exists(temp));
    QCOMPARE(dump(copy.path()), before);
    QVERIFY(store.OpenSettings()); // same password
}

void TestSettingsStore::compactionStoppedAtEachStep_data()
{
    QTest::addColumn<CompactStop>("stop");
    QTest::newRow("after the leftover is removed") << CompactStop::AfterLeftoverRemoved;
    QTest::newRow("after the export") << CompactStop::AfterExport;
    QTest::newRow("after the flush") << CompactStop::AfterFlush;
}

void TestSettingsStore::compactionStoppedAtEachStep()
{
    QFETCH(CompactStop, stop);
    TestDatabase copy;
    const QStringList before = dump(copy.path());

    SettingsStore store(copy.directory());
    QVERIFY(store.CompactSettings(stop));
    // Whatever step the run ended after, the database opens with every row...
    QCOMPARE(dump(copy.path()), before);
    QVERIFY(store.OpenSettings());
    store.CloseSettings();
    // ...and the next compaction clears what was left behind.
    QVERIFY(store.CompactSettings());
    QVERIFY(!QFile::exists(copy.directory() + QStringLiteral("/tarnbeck_tmp.dat")));
    QCOMPARE(dump(copy.path()), before);
}

void TestSettingsStore::unusableFileIsReportedAndLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing" << QStringLiteral("ファイルがありません");
    QTest::newRow("wrong key") << "wrong key" << QStringLiteral("パスワードが違うか");
    QTest::newRow("not a database") << "text" << QStringLiteral("パスワードが違うか");
    QTest::newRow("damaged pages") << "damaged" << QStringLiteral("パスワードが違うか");
    // Damaged, not old: whichever page it is, before anything is brought up to date.
    for (const char *object : {"host", "sqlite_autoindex_host_1", "airportlist"}) {
        QTest::addRow("a damaged page of %s", object)
            << QStringLiteral("page of ") + QLatin1String(object)
            << QStringLiteral("ファイルの内容が壊れています");
    }
    QTest::newRow("empty file") << "empty" << QStringLiteral("壊れています");
    QTest::newRow("no setting row") << "no row" << QStringLiteral("壊れています");
    QTest::newRow("no setting table") << "no table" << QStringLiteral("壊れています");
}

void TestSettingsStore::unusableFileIsReportedAndLeftAlone()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    TestDatabase copy;
    const QString path = copy.path();
    if (kind == QLatin1String("missing")) {
        QVERIFY(QFile::remove(path));
    } else if (kind == QLatin1String("wrong key")) {
        const QString other = copy.directory() + QStringLiteral("/other.dat");
        QFile(other).open(QIODevice::WriteOnly); // the store's connections never create files
        QVERIFY(copy.execute(QStringLiteral("ATTACH DATABASE '%1' AS o KEY 'secret'; "
                                            "SELECT sqlcipher_export('o'); DETACH DATABASE o;")
                                 .arg(other)));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::rename(other, path));
    } else if (kind == QLatin1String("text") || kind == QLatin1String("empty")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (kind == QLatin1String("text"))
            f.write(QByteArray(8192, 'x'));
    } else if (kind == QLatin1String("damaged")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(16)); // inside the first page: its check fails
        f.write(QByteArray(64, '\0'));
    } else if (kind.startsWith(QLatin1String("page of "))) {
        SqlDatabase db;
        QVERIFY(db.open(path, "pelko"));
        const auto number = [&db](const QString &sql) {
            SqlStatement q = db.prepare(sql);
            return q.next() ? q.value(0).toLongLong() : 0;
        };
        const qint64 page = number(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE "
                                                  "name = '%1'")
                                       .arg(kind.mid(8)));
        const qint64 size = number(QStringLiteral("PRAGMA page_size"));
        QVERIFY(page > 1 && size > 0);
        db.close();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek((page - 1) * size + 100));
        f.write(QByteArray(64, '\0'));
    } else if (kind == QLatin1String("no row")) {
        QVERIFY(copy.execute(QStringLiteral("DELETE FROM setting")));
    } else {
        QVERIFY(copy.execute(QStringLiteral("DROP TABLE setting")));
    }
    const QByteArray bytes = fileBytes(path);

    SettingsStore store(copy.directory());
    QVERIFY(!store.OpenSettings());
    QVERIFY(!store.isOpen());
    QVERIFY2(store.errorString().contains(path), qPrintable(store.errorString()));
    QVERIFY2(store.errorString().contains(reason), qPrintable(store.errorString()));
    QCOMPARE(QFile::exists(path), kind != QLatin1String("missing")); // never created
    QCOMPARE(fileBytes(path), bytes);                                // never written
    // A compaction of an unusable file fails and leaves it as it was.
    if (kind != QLatin1String("no row")) {
        QVERIFY(!store.CompactSettings());
        QCOMPARE(fileBytes(path), bytes);
    }
}

void TestSettingsStore::deliveredHostsAreTheSources()
{
    TestDatabase copy;
    QVERIFY(copy.isValid());
    QMap<QString, QString> sources;
    for (const Source &source : AllSources())
        sources.insert(QLatin1String(source.name), QString::fromUtf8(source.defaultAddress));
    QCOMPARE(sources.size(), qsizetype(AllSources().size())); // no name twice
    QCOMPARE(hostRows(copy.path()), sources);
}

void TestSettingsStore::olderDatabaseIsBroughtUpToDate_data()
{
    QTest::addColumn<bool>("withOption");
    QTest::addColumn<QString>("removed"); // which host rows the older file lacks
    QTest::newRow("before the second report server") << false << "name = 'report2'";
    QTest::newRow("before the web windows") << false << "name LIKE 'chart%' OR name LIKE 'camera%'";
    QTest::newRow("one of each kind")
        << true << "name IN ('home', 'programpage', 'chart9', 'camera1', 'camera6')";
    QTest::newRow("before the agency's charts") << true << "name IN ('jma', 'jmabosai')";
    QTest::newRow("no host rows") << true << "1";
    QTest::newRow("only the table option missing") << false << "0";
}

void TestSettingsStore::olderDatabaseIsBroughtUpToDate()
{
    QFETCH(bool, withOption);
    QFETCH(QString, removed);
    TestDatabase copy;
    if (!withOption)
        QVERIFY(copy.execute(QStringLiteral("DROP TABLE option")));
    QVERIFY(copy.execute(QStringLiteral("DELETE FROM host WHERE ") + removed));
    QVERIFY(copy.execute(QStringLiteral("UPDATE host SET url = 'http://mine.test' "
                                        "WHERE name = 'report'")));
    // What the file holds stays; every source it lacks comes with its default.
    QMap<QString, QString> expected = hostRows(copy.path());
    for (const Source &source : AllSources()) {
        if (!expected.contains(QLatin1String(source.name)))
            expected.insert(QLatin1String(source.name), QString::fromUtf8(source.defaultAddress));
    }
    {
        SettingsStore store(copy.directory());
        QVERIFY2(store.OpenSettings(), qPrintable(store.errorString()));
        QCOMPARE(hostRows(copy.path()), expected);
        QVERIFY(store.setOption(QStringLiteral("x"), QStringLiteral("1")));
        QCOMPARE(store.option(QStringLiteral("x")), QStringLiteral("1"));
        QCOMPARE(store.option(QStringLiteral("y"), QStringLiteral("d")), QStringLiteral("d"));
        // Saved together, and an unknown name is added.
        QVERIFY(store.saveHosts({{QStringLiteral("report2"), QString()},
                                 {QStringLiteral("chart1"), QStringLiteral("http://c.test")}}));
        QCOMPARE(store.host(QStringLiteral("report2")), QString());
        store.CloseSettings();
    }
    // Up to date, a file is opened without a write: the emptied report2 stays empty.
    QFile file(copy.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    {
        SettingsStore store(copy.directory());
        QVERIFY(store.OpenSettings());
        QCOMPARE(store.host(QStringLiteral("report2")), QString());
        store.CloseSettings();
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestSettingsStore::typedAddresses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // "!" when refused
    QTest::addColumn<QString>("said");   // a part of the refusal
    const QString scheme = QStringLiteral("http:// または https://");
    QTest::newRow("ftp") << "ftp://x"
                         << "!" << scheme;
    QTest::newRow("no host") << "http://"
                             << "!" << QString();
    QTest::newRow("a blank in the host") << "http://a b"
                                         << "!" << QStringLiteral("空白");
    QTest::newRow("a blank in the name") << "http://exa mple.com"
                                         << "!" << QStringLiteral("空白");
    QTest::newRow("a port out of range") << "http://127.0.0.1:99999"
                                         << "!" << QStringLiteral("ポート番号 99999 は範囲外");
    QTest::newRow("port 0") << "https://h:0/x"
                            << "!" << QStringLiteral("ポート番号 0 は範囲外");
    QTest::newRow("a port not a number") << "http://h:8o"
                                         << "!" << QStringLiteral("「8o」は数字ではありません");
    QTest::newRow("a query") << "https://h/?q=1"
                             << "!" << QStringLiteral("「?」");
    QTest::newRow("a fragment") << "https://h/#top"
                                << "!" << QStringLiteral("「#」");
    QTest::newRow("no scheme") << "example.com"
                               << "!" << scheme;
    QTest::newRow("trimmed") << "  https://h.test/path/ "
                             << "https://h.test/path" << QString();
    QTest::newRow("the last port") << "http://[::1]:65535"
                                   << "http://[::1]:65535" << QString();
    QTest::newRow("empty: not set") << "   "
                                    << "" << QString();
}

void TestSettingsStore::typedAddresses()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, said);
    const HostValidation checked = ValidateHostAddress(typed);
    if (stored == QLatin1String("!")) {
        QVERIFY(!checked.error.isEmpty());
        QVERIFY2(checked.error.contains(said), qPrintable(checked.error));
        return;
    }
    QVERIFY2(checked.error.isEmpty(), qPrintable(checked.error));
    QCOMPARE(checked.address, stored);
}

void TestSettingsStore::readOnlyFileIsReported()
{
    if (::geteuid() == 0)
        QSKIP("root may write to any file");
    TestDatabase copy;
    QVERIFY(QFile::setPermissions(copy.path(), QFile::ReadOwner));
    SettingsStore store(copy.directory());
    QVERIFY(!store.OpenSettings());
    QVERIFY(store.errorString().contains(QStringLiteral("読み取り専用")));
}

void TestSettingsStore::updateOfAVanishedRowFails()
{
    TestDatabase copy;
    SettingsStore store(copy.directory());
    QVERIFY(store.OpenSettings());
    QVERIFY(copy.execute(QStringLiteral("DELETE FROM setting")));
    // A write that reaches no row must not pass for a success.
    QVERIFY(!store.writeSetting(QStringLiteral("fontsize"), QStringLiteral("12")));
    QVERIFY(store.errorString().contains(copy.path()));
}

void TestSettingsStore::fileExists()
{
    TestDatabase copy;
    QVERIFY(SettingsStore::FileExists(copy.path()));
    QVERIFY(!SettingsStore::FileExists(copy.directory())); // a directory is not a file
    QVERIFY(!SettingsStore::FileExists(copy.directory() + QStringLiteral("/none.dat")));
    QFile hidden(copy.directory() + QStringLiteral("/.hidden.dat"));
    QVERIFY(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    QVERIFY(!SettingsStore::FileExists(hidden.fileName()));
}

void TestSettingsStore::fileOfEachSystemOpensChangesAndSaves_data()
{
    QTest::addColumn<QString>("fixture"); // under tests/data/settings/
    QTest::addColumn<QString>("targets");
    QTest::addColumn<qint64>("colour");
    QTest::newRow("made by SQLCipher 3.4 (Debian 12)") << "made-by-sqlcipher-3.4.db"
                                                       << "RJCC* ROAH RJFF*" << qint64(0x0080ff);
    QTest::newRow("saved by Tarnbeck on SQLCipher 4.6 (Debian 13)")
        << "saved-on-sqlcipher-4.6.db"
        << "RJOO* RJCC" << qint64(0x00ff00);
}

void TestSettingsStore::fileOfEachSystemOpensChangesAndSaves()
{
    QFETCH(QString, fixture);
    QFETCH(QString, targets);
    QFETCH(qint64, colour);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tarnbeck.dat"));
    QVERIFY(QFile::copy(QStringLiteral(TARNBECK_TEST_DATA "/settings/") + fixture, path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    {
        SettingsStore store(dir.path());
        QVERIFY2(store.OpenSettings(), qPrintable(store.errorString()));
        QCOMPARE(targetText(store), targets);
        QCOMPARE(store.settings().forecolor, colour);
        QCOMPARE(store.option(QStringLiteral("showcategory")), QStringLiteral("1"));
        QVERIFY(store.ReplaceTargets(
            {{QStringLiteral("RJOO"), true}, {QStringLiteral("RJCC"), false}}));
        QVERIFY(store.changeSettings([](Settings &s) { s.forecolor = 0x00ff00; }));
        store.CloseSettings();
        QVERIFY2(store.CompactSettings(), qPrintable(store.errorString())); // the copy, too
    }
    {
        SettingsStore store(dir.path());
        QVERIFY2(store.OpenSettings(), qPrintable(store.errorString()));
        QCOMPARE(targetText(store), QStringLiteral("RJOO* RJCC"));
        QCOMPARE(store.settings().forecolor, qint64(0x00ff00));
        QCOMPARE(store.option(QStringLiteral("showcategory")), QStringLiteral("1"));
    }
    // Saved in SQLCipher 3's format, never in 4's own, which SQLCipher 3.4 cannot read.
    const QString rows = QStringLiteral("SELECT count(*) FROM setting;");
    const int major =
        shell(QStringLiteral(":memory:"), {}, QStringLiteral("PRAGMA cipher_version;"))
            .section(QLatin1Char('.'), 0, 0)
            .toInt();
    QVERIFY(major >= 3);
    QCOMPARE(shell(path, QStringLiteral("PRAGMA cipher_compatibility = 3;"), rows),
             QStringLiteral("1"));
    QCOMPARE(shell(path, {}, rows) == QLatin1String("1"), major < 4);
    // A fresh-root run hands what this system saved to the other system's library.
    if (const QString keep = qEnvironmentVariable("TARNBECK_SAVED_FILES"); !keep.isEmpty()) {
        const QString saved = keep + QStringLiteral("/saved-from-") + fixture;
        QFile::remove(saved);
        QVERIFY(QFile::copy(path, saved));
    }
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
