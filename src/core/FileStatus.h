#pragma once

#include <QFileInfo>

#include <optional>

namespace tessaro {

// What auto clean needs to know of one archive file.
struct RegularFileStatus
{
    qint64 size = 0;
    // Last modification, in milliseconds since 1970-01-01 00:00 UTC: a
    // moment, not a wall-clock reading, so comparing two of them needs no
    // time zone.
    qint64 modifiedUtcMs = 0;
};

// The size and modification time of a directory listing's entry when the
// entry is a regular file itself. A symbolic link (or, on Windows, a
// junction) is not, whatever it points to, and neither is a folder, a device
// or a pipe: reading through a link would size and date a file that lives
// elsewhere. Nothing when the entry is gone.
std::optional<RegularFileStatus> regularFileStatus(const QFileInfo& entry);

} // namespace tessaro
