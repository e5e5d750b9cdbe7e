// The lock file of the single-instance rule.
#include "platform/SingleInstance.h"

#include <QDir>

SingleInstance::SingleInstance(const QString &directory)
    : m_lock(std::make_unique<QLockFile>(
          QDir(directory).absoluteFilePath(QStringLiteral("tarnbeck.lock"))))
{
    // Only a dead owner makes a lock stale, never its age: the ticker runs for days.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
}
