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

DatabaseLocation ResolveDatabaseLocation(const QString &programDir,
                                         const QStringList &deliveredDirs, const QString &userDir)
{
    return ResolveDatabaseLocation(programDir, deliveredDirs, userDir,
                                   IsWritableDirectory(programDir));
}

DatabaseLocation ResolveDatabaseLocation(const QString &programDir,
                                         const QStringList &deliveredDirs, const QString &userDir,
                                         bool programDirWritable)
{
    const QString name = QLatin1String(SettingsStore::fileName);
    const QString besideProgram = QDir(programDir).absoluteFilePath(name);
    if (programDirWritable && QFileInfo::exists(besideProgram))
        return {QDir(programDir).absolutePath(), {}};

    const QString seeded = QDir(userDir).absoluteFilePath(name);
    if (QFileInfo::exists(seeded))
        return {QDir(userDir).absolutePath(), {}};
    QString delivered;
    for (const QString &dir : deliveredDirs) {
        if (QFileInfo::exists(QDir(dir).absoluteFilePath(name))) {
            delivered = QDir(dir).absoluteFilePath(name);
            break;
        }
    }
    if (delivered.isEmpty()) {
        // A program run from a folder it may write to reports the missing file when it opens
        // it; an installed one would only fail to lock its read-only folder, so say it here.
        if (programDirWritable)
            return {QDir(programDir).absolutePath(), {}};
        QStringList looked;
        for (const QString &dir : deliveredDirs)
            looked.append(QDir::toNativeSeparators(QDir(dir).absoluteFilePath(name)));
        return {QDir(programDir).absolutePath(),
                QStringLiteral("設定ファイル %1 が見つかりません。\n探した場所:\n%2")
                    .arg(name, looked.join(QLatin1Char('\n')))};
    }

    const auto failed = [&](const QString &why) {
        return DatabaseLocation{
            QDir(programDir).absolutePath(),
            QStringLiteral("設定ファイル %1 を %2 にコピーできません。\n%3")
                .arg(QDir::toNativeSeparators(delivered), QDir::toNativeSeparators(userDir), why)};
    };
    if (!QDir().mkpath(userDir))
        return failed(QStringLiteral("フォルダーを作成できません。"));
    const QString partial = seeded + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(delivered, partial))
        return failed(QStringLiteral("コピーに失敗しました。"));
    // The delivered file may be read-only; the user's copy must not be.
    QFile::setPermissions(partial, QFile::ReadOwner | QFile::WriteOwner);
    const QString error =
        SyncFile(partial) ? ReplaceFile(partial, seeded) : QStringLiteral("コピーに失敗しました。");
    if (!error.isEmpty()) {
        QFile::remove(partial);
        return failed(error);
    }
    return {QDir(userDir).absolutePath(), {}};
}
