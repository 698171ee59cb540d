#pragma once

#include "core/ArchiveJob.h"
#include "core/LocalDateTime.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tessaro {

// One archive file found in a destination folder: a regular file, never a
// symbolic link.
struct TFileEntry
{
    // The folder with its trailing separator, then the file's name.
    QString Filename;
    qint64 Size = 0;
    // The moment of the last modification, in milliseconds since
    // 1970-01-01 00:00 UTC. Ordering by the moment rather than by the local
    // wall clock keeps the true order in the hour that repeats when clocks
    // go back, and spares a time-zone conversion per file.
    qint64 Timestamp = 0;
};

// The order auto clean keeps its list in: newest first, so the oldest file
// is always the last entry.
bool NewerFirst(const TFileEntry& a, const TFileEntry& b);

// What the backup pass knows beyond the limits.
struct TAutoCleanContext
{
    // The archives the pass has just made (full paths). They are never
    // deleted: archives dated in the future would otherwise sort before
    // them and make the newest archive look like the oldest.
    QStringList PassArchives;
    // The pass's time. Other archives modified after it are reported in a
    // warning; never (0) skips that check.
    LocalDateTime Now;
};

// Removes one file. Returns false with the operating system's text in *error
// when the file stays.
using TDeleteFileProc = std::function<bool(const QString& path, QString* error)>;

// The deletion auto clean uses unless told otherwise: removes the file from
// the file system.
bool DeleteArchiveFile(const QString& path, QString* error);

// Deletes the oldest archives with the given extension ("rar" or "zip") in
// the folder until it holds at most maxFiles of them (when maxFiles >= 1) and
// at most maxBytes in total (when maxBytes > 0; the newest file always
// stays). Only regular files count: symbolic links and what they point to
// are left alone. Returns the number deleted, or -1 without any report when the
// folder cannot be listed or holds no matching entry.
int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log);

// The same with the deletion supplied by the caller, for callers that need
// control over how (or whether) a file is removed, for example to see how a
// failed deletion is reported.
int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log, const TDeleteFileProc& deleteFile);

// The same for a backup pass: its own archives stay and count as the newest,
// and archives dated after its time are reported.
int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log, const TAutoCleanContext& context,
                    const TDeleteFileProc& deleteFile = DeleteArchiveFile);

} // namespace tessaro
