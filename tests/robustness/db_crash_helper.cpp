// Writes the settings database over and over, for a parent test that kills it at random moments
// or starves it of disk space or write permission.
//   db_crash_helper targets <dir>          loop ReplaceTargets between two lists
//   db_crash_helper compact <dir>          loop CompactSettings
//   db_crash_helper measure <dir> <mode>   microseconds per operation of <mode>
//   db_crash_helper limited <dir> <bytes>  one compaction and one target save under RLIMIT_FSIZE
//   db_crash_helper unprivileged <dir>     the same with the rights of "nobody" when run as root
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <cstdio>
#include <grp.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QList<TargetAirport> listA()
{
    return {{QStringLiteral("RJTT"), true},
            {QStringLiteral("RJAA"), false},
            {QStringLiteral("RJBB"), true}};
}

QList<TargetAirport> listB()
{
    return {{QStringLiteral("ROAH"), true},
            {QStringLiteral("RJCC"), true},
            {QStringLiteral("RJFF"), false},
            {QStringLiteral("RJOO"), true},
            {QStringLiteral("RJSS"), true}};
}

bool saveTargets(SettingsStore &store, qint64 i)
{
    return store.ReplaceTargets(i % 2 == 0 ? listA() : listB());
}

void say(const QString &line)
{
    // One line per outcome: the store's messages may hold line breaks.
    QString flat = line;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fputs(qPrintable(flat + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

/// One compaction and one target save; prints each outcome with its message.
int tryWrites(const QString &dir)
{
    SettingsStore closed(dir);
    const bool compacted = closed.CompactSettings();
    say(QStringLiteral("compact %1 %2").arg(compacted).arg(closed.errorString()));
    SettingsStore store(dir);
    if (!store.OpenSettings()) {
        say(QStringLiteral("open 0 %1").arg(store.errorString()));
        return 0;
    }
    const bool saved = store.ReplaceTargets(listB());
    say(QStringLiteral("targets %1 %2").arg(saved).arg(store.errorString()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args.at(1);
    const QString dir = args.at(2);

    if (mode == QLatin1String("limited") && args.size() > 3) {
        // EFBIG instead of death: the writes see what a full disk gives them.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t bytes = args.at(3).toULongLong();
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        return tryWrites(dir);
    }
    if (mode == QLatin1String("unprivileged")) {
        // Root ignores permissions, so it takes the rights of an ordinary user first.
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 3;
        return tryWrites(dir);
    }

    const bool compact = mode == QLatin1String("compact") ||
                         (mode == QLatin1String("measure") && args.value(3) == "compact");
    SettingsStore store(dir);
    if (!compact && !store.OpenSettings()) {
        say(store.errorString());
        return 4;
    }
    const auto once = [&](qint64 i) {
        return compact ? SettingsStore(dir).CompactSettings() : saveTargets(store, i);
    };
    if (mode == QLatin1String("measure")) {
        QElapsedTimer clock;
        clock.start();
        constexpr int rounds = 10;
        for (int i = 0; i < rounds; ++i) {
            if (!once(i))
                return 5;
        }
        say(QString::number(clock.nsecsElapsed() / 1000 / rounds));
        return 0;
    }
    say(QStringLiteral("ready"));
    for (qint64 i = 0;; ++i) {
        if (!once(i)) {
            say(QStringLiteral("failed"));
            return 5;
        }
    }
}
