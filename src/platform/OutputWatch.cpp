// Standard output's reader watched through poll(2) and a notifier on the pipe.
#include "platform/OutputWatch.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

bool StandardOutputClosed()
{
    pollfd output{STDOUT_FILENO, POLLOUT, 0};
    return ::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

void WatchStandardOutput(QObject *context, std::function<void()> onClosed)
{
    // Only the write end of a pipe is never readable: there a read notifier wakes for nothing but
    // the reader's end (POLLERR). On a terminal or socket it would wake for input, and spin.
    struct stat status
    {
    };
    if (::fstat(STDOUT_FILENO, &status) != 0 || !S_ISFIFO(status.st_mode) ||
        (::fcntl(STDOUT_FILENO, F_GETFL) & O_ACCMODE) != O_WRONLY)
        return;
    auto *notifier = new QSocketNotifier(STDOUT_FILENO, QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context,
                     [notifier, onClosed = std::move(onClosed)] {
                         if (!StandardOutputClosed())
                             return;
                         notifier->setEnabled(false);
                         onClosed();
                     });
}
