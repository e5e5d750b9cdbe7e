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
    /// False when another live process holds the lock.
    bool isFirst() const { return m_first; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};
