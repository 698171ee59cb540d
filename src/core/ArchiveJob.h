#pragma once

#include "core/ArchiverCommandLine.h"
#include "core/ArchiverRunner.h"
#include "core/BackupRule.h"

#include <QString>

#include <functional>

namespace tessaro {

// Log callback of the archive job and of auto clean: a level letter ("I",
// "W", "E") and a text. An empty callback means: write no lines.
using TLogProc = std::function<void(const QString& level, const QString& text)>;

// Turns one rule into one archive at archivePath, running the archiver at
// winRARPath through runner in GetArchiverWorkingFolder(). Sets resultCode to
// the archiver's exit code or one of the job's own codes, reports through
// log, and returns true exactly when resultCode is 0.
bool ArchiveRule(ArchiverRunner& runner, const QString& winRARPath, const TBackupRule& rule,
                 const TWinRAROptions& options, int& resultCode, const TLogProc& log,
                 const QString& archivePath);

// True when the source folder holds a file, or a folder while subfolders
// are included. Hidden and system entries count.
bool SourceHasEntries(const TBackupRule& rule);

} // namespace tessaro
