// Choice and seeding of the database directory.
#include "store/DatabaseLocation.h"

#include "platform/FileSync.h"
#include "store/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

bool IsWritableDirectory(const QString &dir)
{
    QTemporaryFile probe(QDir(dir).absoluteFilePath(QStringLiteral(".tarnbeck-probe-XXXXXX")));
    return probe.open();
}

DatabaseLocation ResolveDatabaseLocation(const QString &programDir, const QString &userDir)
{
    return ResolveDatabaseLocation(programDir, userDir, IsWritableDirectory(programDir));
}

DatabaseLocation ResolveDatabaseLocation(const QString &programDir, const QString &userDir,
                                         bool programDirWritable)
{
    const QString delivered =
        QDir(programDir).absoluteFilePath(QLatin1String(SettingsStore::fileName));
    if (programDirWritable)
        return {QDir(programDir).absolutePath(), {}};

    const QString seeded = QDir(userDir).absoluteFilePath(QLatin1String(SettingsStore::fileName));
    if (QFileInfo::exists(seeded))
        return {QDir(userDir).absolutePath(), {}};
    if (!QFileInfo::exists(delivered)) // let the open report the missing delivered file
        return {QDir(programDir).absolutePath(), {}};

    const auto failed = [&](const QString &why) {
        return DatabaseLocation{
            QDir(programDir).absolutePath(),
            QStringLiteral("設定ファイル %1 を %2 にコピーできません。\n%3")
                .arg(QDir::toNativeSeparators(delivered), QDir::toNativeSeparators(userDir), why)};
    };
    if (!QDir().mkpath(userDir))
        return failed(QStringLiteral("フォルダーを作れません。"));
    const QString partial = seeded + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(delivered, partial))
        return failed(QStringLiteral("コピーに失敗しました。"));
    // The delivered file may be read-only; the user's copy must not be.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    if (!SyncFile(partial) || !ReplaceFile(partial, seeded, &error)) {
        QFile::remove(partial);
        return failed(error.isEmpty() ? QStringLiteral("コピーに失敗しました。") : error);
    }
    return {QDir(userDir).absolutePath(), {}};
}
