#pragma once

#include "core/ArchiveJob.h"
#include "core/ArchiverCommandLine.h"
#include "core/BackupRule.h"

namespace tessaro {

// The archiver's test command for an archive a rule made: "t", the rule's
// password when it has one, the quiet switches, the error log and the
// archive; on POSIX the switches that keep the archiver's own configuration
// out, as for the archive job.
ArchiverTokens BuildTestTokens(const TBackupRule& rule, const QString& archivePath,
                               const QString& errorLogPath, PathStyle style = nativePathStyle());

// Tests the archive with the archiver at winRARPath, run through runner in
// GetArchiverWorkingFolder(), then reports the outcome (ReportArchiveTest).
// done gets the archiver's exit code; 0 means sound.
void VerifyArchive(ArchiverRunner& runner, const QString& winRARPath, const TBackupRule& rule,
                   const TWinRAROptions& options, const QString& archivePath, const TLogProc& log,
                   std::function<void(int code)> done);

// How an archive test ended: an information line when the archive reads
// back whole, an error line otherwise.
void ReportArchiveTest(int code, const QString& archivePath, const TLogProc& log);

} // namespace tessaro
