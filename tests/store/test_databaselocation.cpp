// Choice of the database directory and seeding of the per-user copy.
#include "store/DatabaseLocation.h"
#include "store/SettingsStore.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QtTest>

class TestDatabaseLocation : public QObject
{
    Q_OBJECT

private slots:
    void writableProgramDirectoryIsUsed();
    void readOnlyProgramDirectorySeedsUserCopyOnce();
    void missingDeliveredFileIsLeftToTheOpen_data();
    void missingDeliveredFileIsLeftToTheOpen();
    void probeSeesRealWritability();
    void installedProgramSeedsFromItsDataDirectory();
    void userFolderThatCannotBeMade();
};

void TestDatabaseLocation::writableProgramDirectoryIsUsed()
{
    TestDatabase delivered;
    QTemporaryDir user;
    const DatabaseLocation where =
        ResolveDatabaseLocation(delivered.directory(), {delivered.directory()}, user.path(), true);
    QVERIFY(where.error.isEmpty());
    QCOMPARE(where.directory, delivered.directory());
    QVERIFY(!QFile::exists(user.filePath(QStringLiteral("tarnbeck.dat"))));
}

void TestDatabaseLocation::readOnlyProgramDirectorySeedsUserCopyOnce()
{
    TestDatabase delivered;
    QTemporaryDir base;
    const QString user = base.filePath(QStringLiteral("deep/tarnbeck"));
    DatabaseLocation where =
        ResolveDatabaseLocation(delivered.directory(), {delivered.directory()}, user, false);
    QVERIFY2(where.error.isEmpty(), qPrintable(where.error));
    QCOMPARE(where.directory, user);
    QVERIFY(!QFile::exists(user + QStringLiteral("/tarnbeck.dat.part")));

    // The user's copy is theirs from now on: a later start keeps it, changes and all.
    {
        SettingsStore store(where.directory);
        QVERIFY(store.OpenSettings());
        QVERIFY(store.writeSetting(QStringLiteral("fontsize"), QStringLiteral("14")));
    }
    where = ResolveDatabaseLocation(delivered.directory(), {delivered.directory()}, user, false);
    SettingsStore store(where.directory);
    QVERIFY(store.OpenSettings());
    QCOMPARE(store.setting("fontsize").toString(), QStringLiteral("14"));
}

void TestDatabaseLocation::missingDeliveredFileIsLeftToTheOpen_data()
{
    QTest::addColumn<bool>("programDirWritable");
    QTest::newRow("built program: the open reports it") << true;
    QTest::newRow("installed program: reported here") << false;
}

void TestDatabaseLocation::missingDeliveredFileIsLeftToTheOpen()
{
    QFETCH(bool, programDirWritable);
    QTemporaryDir program;
    QTemporaryDir data;
    QTemporaryDir user;
    const DatabaseLocation where = ResolveDatabaseLocation(
        program.path(), {program.path(), data.path()}, user.path(), programDirWritable);
    if (!programDirWritable) {
        // Never a lock in a folder nobody may write to, which would read as "already running".
        QVERIFY(where.error.contains(QDir(data.path()).absoluteFilePath("tarnbeck.dat")));
        QVERIFY(where.error.contains(QDir(program.path()).absoluteFilePath("tarnbeck.dat")));
        return;
    }
    QVERIFY(where.error.isEmpty());
    QCOMPARE(where.directory, program.path());
    SettingsStore store(where.directory);
    QVERIFY(!store.OpenSettings());
    QVERIFY(store.errorString().contains(program.path()));
}

void TestDatabaseLocation::probeSeesRealWritability()
{
    QTemporaryDir dir;
    QVERIFY(IsWritableDirectory(dir.path()));
    QVERIFY(!IsWritableDirectory(dir.filePath(QStringLiteral("does/not/exist"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0); // probe cleaned up
}

void TestDatabaseLocation::installedProgramSeedsFromItsDataDirectory()
{
    // bin/ holds no database (writable or not, as for root); share/tarnbeck/ holds the delivered
    // one.
    TestDatabase delivered;
    QTemporaryDir prefix;
    QVERIFY(QDir().mkpath(prefix.filePath(QStringLiteral("bin"))));
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    QTemporaryDir user;
    const QString userDir = user.filePath(QStringLiteral("Tarnbeck"));
    const QByteArray original = [&] {
        QFile f(delivered.path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const DatabaseLocation where =
        ResolveDatabaseLocation(bin, {bin, delivered.directory()}, userDir, true);
    QVERIFY2(where.error.isEmpty(), qPrintable(where.error));
    QCOMPARE(where.directory, userDir);
    SettingsStore store(where.directory);
    QVERIFY(store.OpenSettings());
    QVERIFY(store.writeSetting(QStringLiteral("fontsize"), QStringLiteral("16")));
    // The delivered file stays as delivered.
    QFile f(delivered.path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), original);
}

void TestDatabaseLocation::userFolderThatCannotBeMade()
{
    TestDatabase delivered;
    QTemporaryDir base;
    QFile blocker(base.filePath(QStringLiteral("share"))); // a file where a folder must go
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString userDir = base.filePath(QStringLiteral("share/Tarnbeck"));
    const DatabaseLocation where =
        ResolveDatabaseLocation(base.path(), {delivered.directory()}, userDir, false);
    QVERIFY(where.error.contains(userDir));
    QVERIFY2(where.error.contains(QStringLiteral("フォルダーを作成できません。")),
             qPrintable(where.error));
}

QTEST_GUILESS_MAIN(TestDatabaseLocation)
#include "test_databaselocation.moc"
