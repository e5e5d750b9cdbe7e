// The lock file of the single-instance rule.
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>

SingleInstance::SingleInstance(const QString &directory)
    : m_lock(std::make_unique<QLockFile>(
          QDir(directory).absoluteFilePath(QStringLiteral("tarnbeck.lock"))))
{
    // Only a dead owner makes a lock stale, never its age: the ticker runs for days.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
    if (m_first)
        return;
    m_heldByAnother = m_lock->error() == QLockFile::LockFailedError;
    if (m_heldByAnother)
        return;
    const QString folder = QDir::toNativeSeparators(QDir(directory).absolutePath());
    const QString file =
        QDir::toNativeSeparators(QDir(directory).absoluteFilePath(QStringLiteral("tarnbeck.lock")));
    if (!QFileInfo(directory).isDir())
        m_error = QStringLiteral("フォルダー %1 がありません。").arg(folder);
    else if (m_lock->error() == QLockFile::PermissionError)
        m_error =
            QStringLiteral("フォルダー %1 に書き込めないため、ロックファイル %2 を作れません。")
                .arg(folder, file);
    else
        m_error = QStringLiteral("ロックファイル %1 を作れません。").arg(file);
}
