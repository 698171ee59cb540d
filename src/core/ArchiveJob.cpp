#include "core/ArchiveJob.h"

#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/FileSize.h"
#include "core/Quoted.h"

#include <QDirIterator>
#include <QFileInfo>

namespace tessaro {

namespace {

const QString levelInfo = QStringLiteral("I");
const QString levelWarning = QStringLiteral("W");
const QString levelError = QStringLiteral("E");

QString sourceSkippedText(const TBackupRule& rule)
{
    const QString what = rule.IncludeSubFolders ? QStringLiteral("no files or folders found")
                                                : QStringLiteral("no files found");
    return QStringLiteral("backup: ") + what + QStringLiteral(" in source ") +
           Quoted(rule.SourceFolder) + QStringLiteral(". skipping backup.");
}

QString failureText(int code)
{
    return QStringLiteral("backup: failed, error: ") + WinRARExitCodeText(code) +
           QStringLiteral(" (") + QString::number(code);
}

QString checkLogText(const QString& errorLogPath)
{
    return QStringLiteral("check WinRAR log at ") + Quoted(errorLogPath);
}

} // namespace

bool ArchiveRule(ArchiverRunner& runner, const QString& winRARPath, const TBackupRule& rule,
                 const TWinRAROptions& options, int& resultCode, const TLogProc& log,
                 const QString& archivePath)
{
    const auto write = [&log](const QString& level, const QString& text) {
        if (log)
            log(level, text);
    };

    const QString errorLogPath = GetErrorLogFile(options);
    const qint64 errorLogSizeBefore = FileSizeOf(errorLogPath);
    const ArchiverTokens tokens = BuildArchiverTokens(rule, options, archivePath, errorLogPath);

    if (!SourceHasEntries(rule)) {
        write(levelWarning, sourceSkippedText(rule));
        resultCode = ResultSourceEmpty;
        return false;
    }
    if (rule.HasUnsafePassword()) {
        write(levelError, QStringLiteral("backup: failed, error: password contains ") +
                              rule.UnsafePasswordCharacter() +
                              QStringLiteral(". archiver not started"));
        resultCode = ResultUnsafePassword;
        return false;
    }

    write(levelInfo, QStringLiteral("backup: creating ") + archivePath +
                         QStringLiteral(" from source ") + Quoted(rule.SourceFolder));

    resultCode = runner.run(winRARPath, tokens, GetArchiverWorkingFolder());
    if (resultCode == 0 && FileSizeOf(archivePath) < 0)
        resultCode = ResultNoArchiveCreated;
    const qint64 errorLogSizeAfter = FileSizeOf(errorLogPath);

    if (resultCode == 0 || resultCode == 1) {
        write(levelInfo, QStringLiteral("backup: completed, archive size: ") +
                             FormatFileSize(FileSizeOf(archivePath)));
        // Any change of the log's size during the run means the archiver had
        // something to say: a log that appeared, grew, shrank or vanished.
        if (errorLogSizeAfter != errorLogSizeBefore) {
            write(levelInfo, QStringLiteral("backup: some errors were logged during backup. ") +
                                 checkLogText(errorLogPath));
        }
    } else if (errorLogSizeAfter >= 0) {
        write(levelError,
              failureText(resultCode) + QStringLiteral("). ") + checkLogText(errorLogPath));
    } else {
        write(levelError, failureText(resultCode) + QLatin1Char(')'));
    }
    return resultCode == 0;
}

bool SourceHasEntries(const TBackupRule& rule)
{
    // An empty folder text would list the current folder.
    if (rule.SourceFolder.isEmpty())
        return false;
    QDirIterator entries(rule.SourceFolder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        if (!entry.isDir() || rule.IncludeSubFolders)
            return true;
    }
    return false;
}

} // namespace tessaro
