#include "core/FileStatus.h"

#include <QFile>

#include <sys/stat.h>

namespace tessaro {

// One lstat per entry: Qt's own file times come back as local time, and
// turning each into a moment again would cost more than the listing itself.
std::optional<RegularFileStatus> regularFileStatus(const QFileInfo& entry)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(entry.filePath()).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return RegularFileStatus{qint64(status.st_size), qint64(status.st_mtim.tv_sec) * 1000 +
                                                         status.st_mtim.tv_nsec / 1000000};
}

} // namespace tessaro
