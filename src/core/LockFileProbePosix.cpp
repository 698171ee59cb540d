#include "core/LockFileProbe.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tessaro {

bool lockFileHeldOpen(const QString& path)
{
    // Non-blocking: a pipe put in the lock file's place must not hold the
    // program at its start.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd); // also drops the probe's own shared lock
    return held;
}

} // namespace tessaro
