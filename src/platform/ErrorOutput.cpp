// Standard error through a descriptor of its own that never blocks.
#include "platform/ErrorOutput.h"

#include <QByteArray>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

/// Where the bytes go, for the standard error as it is now (a test or a shell may move it).
struct Channel
{
    dev_t device = 0;
    ino_t inode = 0;
    int fd = -1; ///< non-blocking, or the standard error itself
    enum { Plain, OwnNonBlocking, Socket, Polled } how = Plain;
    qint64 dropped = 0;
};

Channel &channel()
{
    static Channel channel;
    struct stat now
    {
    };
    if (::fstat(STDERR_FILENO, &now) != 0) {
        channel.fd = -1;
        return channel;
    }
    if (channel.fd >= 0 && now.st_dev == channel.device && now.st_ino == channel.inode)
        return channel;
    if (channel.how == Channel::OwnNonBlocking)
        ::close(channel.fd);
    channel.device = now.st_dev;
    channel.inode = now.st_ino;
    channel.fd = STDERR_FILENO;
    channel.how = Channel::Plain; // a file: it takes what it is given
    if (S_ISSOCK(now.st_mode)) {
        channel.how = Channel::Socket;
    } else if (S_ISFIFO(now.st_mode) || S_ISCHR(now.st_mode)) {
        // An open file of its own: O_NONBLOCK set on descriptor 2 would reach every process that
        // shares it, the shell that started us among them.
        const int own = ::open("/proc/self/fd/2", O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (own >= 0) {
            channel.fd = own;
            channel.how = Channel::OwnNonBlocking;
        } else {
            channel.how = Channel::Polled; // no /proc, or a pipe without a reader
        }
    }
    return channel;
}

/// How much of `bytes` went out at once.
qsizetype writeSome(const Channel &channel, const char *bytes, qsizetype size)
{
    qsizetype written = 0;
    while (written < size) {
        qsizetype chunk = size - written;
        if (channel.how == Channel::Polled) {
            // Room for PIPE_BUF bytes is what "writable" promises.
            pollfd ready{channel.fd, POLLOUT, 0};
            if (::poll(&ready, 1, 0) != 1 || !(ready.revents & POLLOUT))
                break;
            chunk = qMin<qsizetype>(chunk, PIPE_BUF);
        }
        const ssize_t n =
            channel.how == Channel::Socket
                ? ::send(channel.fd, bytes + written, size_t(chunk), MSG_DONTWAIT | MSG_NOSIGNAL)
                : ::write(channel.fd, bytes + written, size_t(chunk));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    return written;
}

} // namespace

void WriteErrorOutput(QByteArrayView bytes)
{
    Channel &out = channel();
    if (out.fd < 0 || bytes.isEmpty()) {
        out.dropped += bytes.size();
        return;
    }
    if (out.dropped > 0) {
        const QByteArray note = "[" + QByteArray::number(out.dropped) +
                                " bytes dropped: the standard error was not read]\n";
        if (writeSome(out, note.constData(), note.size()) < note.size()) {
            out.dropped += bytes.size();
            return;
        }
        out.dropped = 0;
    }
    out.dropped += bytes.size() - writeSome(out, bytes.data(), bytes.size());
}
