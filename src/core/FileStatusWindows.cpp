#include "core/FileStatus.h"

#include <QDateTime>

namespace tessaro {

// The listing has already read the entry's attributes, size and times, so
// nothing here goes back to the file system.
std::optional<RegularFileStatus> regularFileStatus(const QFileInfo& entry)
{
    if (entry.isSymLink() || entry.isJunction() || !entry.isFile())
        return std::nullopt;
    return RegularFileStatus{entry.size(), entry.lastModified().toMSecsSinceEpoch()};
}

} // namespace tessaro
