// One running ticker per database: a lock file beside it.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

class SingleInstance final
{
public:
    /// Locks `directory`/tarnbeck.lock; a lock left by a process that has died is taken over.
    explicit SingleInstance(const QString &directory);
    /// True when this process holds the lock.
    bool isFirst() const { return m_first; }
    /// True when another live process holds the lock: only then does another ticker run.
    bool heldByAnother() const { return m_heldByAnother; }
    /// Why the lock could not be made when no other process holds it, naming the file.
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
    bool m_heldByAnother = false;
    QString m_error;
};
