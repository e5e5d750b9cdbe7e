// The settings database survives a process killed at any moment of a compaction or a target-list
// save, a disk that is full and a directory that may not be written.
#include "platform/SqlDatabase.h"
#include "store/SettingsStore.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <unistd.h>

namespace {

using Targets = QList<TargetAirport>;

const Targets listA{{QStringLiteral("RJTT"), true},
                    {QStringLiteral("RJAA"), false},
                    {QStringLiteral("RJBB"), true}};
const Targets listB{{QStringLiteral("ROAH"), true},
                    {QStringLiteral("RJCC"), true},
                    {QStringLiteral("RJFF"), false},
                    {QStringLiteral("RJOO"), true},
                    {QStringLiteral("RJSS"), true}};

QString helperPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/db_crash_helper");
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Every row of the tables a save must leave alone, plus the integrity check.
QStringList untouchedRows(const QString &path, QString *problem)
{
    SqlDatabase db;
    if (!db.open(path, "pelko")) {
        *problem = QStringLiteral("cannot open: ") + db.errorString();
        return {};
    }
    SqlStatement check = db.prepare(QStringLiteral("PRAGMA integrity_check"));
    if (!check.next() || check.value(0).toString() != QLatin1String("ok")) {
        *problem = QStringLiteral("integrity check: ") + check.value(0).toString();
        return {};
    }
    return TableRows(
        db, {QStringLiteral("setting"), QStringLiteral("airportlist"), QStringLiteral("host")});
}

/// The target list as the program reads it, or nothing when the store does not open.
std::optional<Targets> targetsOf(const QString &directory, QString *problem)
{
    SettingsStore store(directory);
    if (!store.OpenSettings()) {
        *problem = store.errorString();
        return std::nullopt;
    }
    return store.targetAirports();
}

int rounds()
{
    const int n = qEnvironmentVariableIntValue("TARNBECK_CRASH_ROUNDS");
    return n > 0 ? n : 20;
}

/// Runs the helper once and returns what it printed.
QStringList runHelper(const QStringList &args)
{
    QProcess helper;
    helper.start(helperPath(), args);
    if (!helper.waitForFinished(60000))
        return {QStringLiteral("helper did not end")};
    return QString::fromUtf8(helper.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class TestDbCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedAtRandomMoments_data();
    void killedAtRandomMoments();
    void fullDiskKeepsTheFile_data();
    void fullDiskKeepsTheFile();
    void readOnlyDirectoryKeepsTheFile();
};

void TestDbCrash::killedAtRandomMoments_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("compaction") << QStringLiteral("compact");
    QTest::newRow("target-list save") << QStringLiteral("targets");
}

void TestDbCrash::killedAtRandomMoments()
{
    QFETCH(QString, mode);
    TestDatabase db;
    QVERIFY(db.isValid());
    QString problem;
    const QStringList reference = untouchedRows(db.path(), &problem);
    QVERIFY2(!reference.isEmpty(), qPrintable(problem));
    const std::optional<Targets> original = targetsOf(db.directory(), &problem);
    QVERIFY2(original, qPrintable(problem));

    // Kill moments spread over a few whole operations, so every step of one gets hit.
    const QStringList measured = runHelper({QStringLiteral("measure"), db.directory(), mode});
    QVERIFY2(measured.size() == 1 && measured.first().toLongLong() > 0,
             qPrintable(measured.join(QLatin1Char('|'))));
    const qint64 operationUs = measured.first().toLongLong();

    QRandomGenerator rng(quint32(QDateTime::currentMSecsSinceEpoch()));
    int kills = 0, leftovers = 0, journals = 0, seenA = 0, seenB = 0;
    for (int round = 0; round < rounds(); ++round) {
        QProcess helper;
        helper.start(helperPath(), {mode, db.directory()});
        QVERIFY(helper.waitForStarted(10000));
        QVERIFY2(helper.waitForReadyRead(20000), "the helper never got ready");
        QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
        QThread::usleep(rng.bounded(quint32(3 * operationUs + 1)));
        QVERIFY2(helper.state() == QProcess::Running, qPrintable(helper.readAll()));
        ::kill(pid_t(helper.processId()), SIGKILL);
        QVERIFY(helper.waitForFinished(10000));
        QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
        ++kills;
        leftovers += QFile::exists(db.directory() + QStringLiteral("/tarnbeck_tmp.dat"));
        journals += QFile::exists(db.path() + QStringLiteral("-journal"));

        const QString when = QStringLiteral("after kill %1: ").arg(kills);
        const QStringList rows = untouchedRows(db.path(), &problem);
        QVERIFY2(rows == reference, qPrintable(when + problem));
        const std::optional<Targets> targets = targetsOf(db.directory(), &problem);
        QVERIFY2(targets, qPrintable(when + problem));
        // All old or all new, never a mixture.
        if (mode == QLatin1String("compact")) {
            QVERIFY2(*targets == *original, qPrintable(when + QStringLiteral("targets changed")));
        } else {
            seenA += *targets == listA;
            seenB += *targets == listB;
            QVERIFY2(*targets == *original || *targets == listA || *targets == listB,
                     qPrintable(when + QStringLiteral("%1 targets").arg(targets->size())));
        }
    }
    qInfo("%s: %d kills, %d left a temporary copy, %d left a journal, lists A/B seen %d/%d, "
          "%lld us per operation",
          qPrintable(mode), kills, leftovers, journals, seenA, seenB, operationUs);
    if (mode == QLatin1String("targets") && rounds() >= 20)
        QVERIFY2(seenA > 0 && seenB > 0, "the kills never let a save finish: nothing was tested");

    // A leftover copy never blocks the next compaction.
    SettingsStore store(db.directory());
    QVERIFY2(store.CompactSettings(), qPrintable(store.errorString()));
    QCOMPARE(untouchedRows(db.path(), &problem), reference);
}

void TestDbCrash::fullDiskKeepsTheFile_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::newRow("no byte may be written") << qint64(0);
    QTest::newRow("one page") << qint64(4096);
    QTest::newRow("half the file") << qint64(-2);
}

void TestDbCrash::fullDiskKeepsTheFile()
{
    // A file-size limit gives every write past it EFBIG, as a full disk gives ENOSPC; both reach
    // the database engine as a failed write. It needs no mount and no privileges.
    QFETCH(qint64, limit);
    TestDatabase db;
    QVERIFY(db.isValid());
    const QByteArray before = fileBytes(db.path());
    const qint64 bytes = limit < 0 ? before.size() / -limit : limit;
    const QStringList out =
        runHelper({QStringLiteral("limited"), db.directory(), QString::number(bytes)});
    QVERIFY2(out.size() == 2, qPrintable(out.join(QLatin1Char('|'))));

    QVERIFY2(out.at(0).startsWith(QLatin1String("compact 0 ")), qPrintable(out.at(0)));
    QVERIFY2(out.at(0).contains(QStringLiteral("元のファイルはそのままです")),
             qPrintable(out.at(0)));
    QVERIFY(!QFile::exists(db.directory() + QStringLiteral("/tarnbeck_tmp.dat")));

    QString problem;
    const std::optional<Targets> targets = targetsOf(db.directory(), &problem);
    QVERIFY2(targets, qPrintable(problem));
    if (out.at(1).startsWith(QLatin1String("targets 0 "))) {
        QVERIFY2(out.at(1).contains(db.path()), qPrintable(out.at(1)));
        QCOMPARE(fileBytes(db.path()), before);
        QVERIFY(*targets != listB);
    } else {
        // A small save may fit below the limit; then it must be whole.
        QVERIFY2(limit != 0 && out.at(1).startsWith(QLatin1String("targets 1")),
                 qPrintable(out.at(1)));
        QCOMPARE(*targets, listB);
    }
    QVERIFY(!untouchedRows(db.path(), &problem).isEmpty());
}

void TestDbCrash::readOnlyDirectoryKeepsTheFile()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    const QString dir = db.directory();
    // The writer runs as "nobody" when this test runs as root: the file is its, the directory not.
    if (::geteuid() == 0)
        QVERIFY(::chown(QFile::encodeName(db.path()).constData(), 65534, 65534) == 0);
    QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                           QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const QByteArray before = fileBytes(db.path());
    const QStringList out = runHelper({QStringLiteral("unprivileged"), dir});
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(out.size() == 2, qPrintable(out.join(QLatin1Char('|'))));

    QVERIFY2(out.at(0).startsWith(QLatin1String("compact 0 ")), qPrintable(out.at(0)));
    QVERIFY2(out.at(0).contains(QStringLiteral("tarnbeck_tmp.dat")), qPrintable(out.at(0)));
    // The save needs a journal beside the file; refused whole, with the file named.
    QVERIFY2(out.at(1).startsWith(QLatin1String("targets 0 ")) ||
                 out.at(1).startsWith(QLatin1String("open 0 ")),
             qPrintable(out.at(1)));
    QVERIFY2(out.at(1).contains(db.path()), qPrintable(out.at(1)));
    QCOMPARE(fileBytes(db.path()), before);
}

QTEST_GUILESS_MAIN(TestDbCrash)
#include "test_dbcrash.moc"
