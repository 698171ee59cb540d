#include "core/FileSync.h"

#include <cerrno>
#include <unistd.h>

namespace tessaro {

bool syncToStorage(QFileDevice& file, QString* error)
{
    const int fd = file.handle();
    if (fd < 0 || ::fsync(fd) == 0)
        return true;
    // Some file systems cannot sync at all; that says nothing about the data.
    if (errno == EINVAL || errno == EROFS)
        return true;
    if (error)
        *error = qt_error_string(errno);
    return false;
}

} // namespace tessaro
