// POSIX implementation of the durable replacement.
#include "platform/FileSync.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool syncPath(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool SyncFile(const QString &path)
{
    return syncPath(QFile::encodeName(path), O_RDONLY);
}

QString ReplaceFile(const QString &source, const QString &target)
{
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) !=
        0)
        return QString::fromLocal8Bit(std::strerror(errno));
    // The rename is only durable once the directory entry is on disk.
    syncPath(QFile::encodeName(QFileInfo(target).absolutePath()), O_RDONLY | O_DIRECTORY);
    return {};
}
