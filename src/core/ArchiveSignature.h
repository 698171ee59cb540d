#pragma once

#include <QString>

namespace tessaro {

// What an archive file is, judged by its first bytes, whatever its name.
enum class ArchiveKind
{
    // No regular file could be read there.
    Unreadable,
    Zip,
    Rar4,
    Rar5,
    Other,
};

ArchiveKind ReadArchiveKind(const QString& path);

} // namespace tessaro
