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

// Turns one rule into one archive at archivePath with the archiver at
// winRARPath, in two halves around the archiver's run, so that whoever runs
// the job waits for the archiver from the event loop: begin checks what must
// hold before the archiver starts, finish judges how it ended.
class ArchiveJob final
{
public:
    ArchiveJob(const QString& winRARPath, const TBackupRule& rule, const TWinRAROptions& options,
               TLogProc log, const QString& archivePath);

    // The checks before the archiver may start, then the "creating" line.
    // False when the job ends here, with resultCode() telling why.
    bool begin();
    // Reports how the archiver ended and returns the job's result code,
    // which resultCode() keeps. A ".zip" the archiver filled with another
    // format fails the job and does not stay under that name.
    int finish(int archiverCode);

    const QString& program() const { return m_winRARPath; }
    const ArchiverTokens& tokens() const { return m_tokens; }
    const QString& archivePath() const { return m_archivePath; }
    int resultCode() const { return m_resultCode; }
    // The archive was there before the job began (an update, a fixed name).
    bool archiveExistedBefore() const { return m_archiveExistedBefore; }

private:
    void write(const QString& level, const QString& text) const;

    const QString m_winRARPath;
    const TBackupRule& m_rule;
    // What was chosen; the archiver decides what it writes.
    const TArchiveFormat m_format;
    const TLogProc m_log;
    const QString m_archivePath;
    const QString m_errorLogPath;
    const ArchiverTokens m_tokens;
    qint64 m_errorLogSizeBefore = -1;
    bool m_archiveExistedBefore = false;
    int m_resultCode = 0;
};

// Runs a whole job: begin, the archiver through runner in
// GetArchiverWorkingFolder(), finish. done gets the result code: 0 is
// success, otherwise the archiver's exit code or one of the job's own codes.
void ArchiveRule(ArchiverRunner& runner, const QString& winRARPath, const TBackupRule& rule,
                 const TWinRAROptions& options, const TLogProc& log, const QString& archivePath,
                 std::function<void(int resultCode)> done);

// True when the source folder holds a file, or a folder while subfolders
// are included. Hidden and system entries count.
bool SourceHasEntries(const TBackupRule& rule);

} // namespace tessaro
