#pragma once

#include "ArchiveJob.h"
#include "LocalDateTime.h"

#include <QString>

#include <functional>

namespace tessaro {

// One archive file found in a destination folder.
struct TFileEntry
{
    QString Filename;
    qint64 Size = 0;
    LocalDateTime Timestamp;
};

// The order auto clean keeps its list in: newest first, so the oldest file
// is always the last entry.
bool NewerFirst(const TFileEntry& a, const TFileEntry& b);

// Removes one file. Returns false with the operating system's text in *error
// when the file stays.
using TDeleteFileProc = std::function<bool(const QString& path, QString* error)>;

// The deletion auto clean uses unless told otherwise: removes the file from
// the file system.
bool DeleteArchiveFile(const QString& path, QString* error);

// Deletes the oldest archives with the given extension ("rar" or "zip") in
// the folder until it holds at most maxFiles of them (when maxFiles >= 1) and
// at most maxBytes in total (when maxBytes > 0; the newest file always
// stays). Returns the number deleted, or -1 without any report when the
// folder cannot be listed or holds no matching entry.
int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log);

// The same with the deletion supplied by the caller, for callers that need
// control over how (or whether) a file is removed, for example to see how a
// failed deletion is reported.
int AutoCleanFolder(const QString& folder, const QString& extension, int maxFiles, qint64 maxBytes,
                    const TLogProc& log, const TDeleteFileProc& deleteFile);

} // namespace tessaro
