#include "core/ArchiveJob.h"

#include "core/ArchiveSignature.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/ExcludeMask.h"
#include "core/FileSize.h"
#include "core/Quoted.h"

#include <QDirIterator>
#include <QFile>
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

// The first free name of the form "<path>.rar", "<path>.1.rar", ...
QString freeRarName(const QString& path)
{
    QString candidate = path + QStringLiteral(".rar");
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = path + QLatin1Char('.') + QString::number(n) + QStringLiteral(".rar");
    return candidate;
}

// A ".zip" that no ZIP reader opens must not pass for a backup, nor be
// counted by auto clean. One this run made is removed; one that was there
// before (an update of an earlier such file) keeps its data under a name
// that says what it holds. Returns the line that says which.
QString setAsideMisnamedArchive(const QString& archivePath, bool existedBefore)
{
    if (!existedBefore) {
        QFile::remove(archivePath);
        return QStringLiteral("backup: removed ") + Quoted(archivePath) +
               QStringLiteral(", which is not a ZIP archive");
    }
    const QString kept = freeRarName(archivePath);
    QFile::rename(archivePath, kept);
    return QStringLiteral("backup: renamed ") + Quoted(archivePath) +
           QStringLiteral(", which is "
                          "not a ZIP "
                          "archive, to ") +
           Quoted(kept);
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
        write(levelError, QStringLiteral("backup: failed, error: password contains a double "
                                         "quote character. archiver not started"));
        resultCode = ResultUnsafePassword;
        return false;
    }
    if (rule.HasUnsafeExcludeMasks()) {
        write(levelError, QStringLiteral("backup: failed, error: exclude masks contain a double "
                                         "quote or control character. archiver not started"));
        resultCode = ResultUnsafeExcludeMasks;
        return false;
    }

    write(levelInfo, QStringLiteral("backup: creating ") + archivePath +
                         QStringLiteral(" from source ") + Quoted(rule.SourceFolder));

    const bool archiveExisted = FileSizeOf(archivePath) >= 0;
    resultCode = runner.run(winRARPath, tokens, GetArchiverWorkingFolder());
    if (resultCode == 0 && FileSizeOf(archivePath) < 0)
        resultCode = ResultNoArchiveCreated;
    const qint64 errorLogSizeAfter = FileSizeOf(errorLogPath);

    if ((resultCode == 0 || resultCode == 1) && options.ArchiveFormat == TArchiveFormat::Zip &&
        ReadArchiveKind(archivePath) != ArchiveKind::Zip) {
        resultCode = ResultNotZipArchive;
        write(levelError, failureText(resultCode) + QLatin1Char(')'));
        write(levelWarning, setAsideMisnamedArchive(archivePath, archiveExisted));
        return false;
    }

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
    // The archive holds something exactly when the source folder holds an
    // entry the archiver takes that no mask leaves out: a folder left out
    // takes its contents along, and a folder kept is stored even when all it
    // holds is left out.
    const PathStyle style = nativePathStyle();
    const ExcludeMaskList masks = ParseExcludeMasks(rule.ExcludeMasks, style);
    QDirIterator entries(rule.SourceFolder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        if (entry.isDir() && !rule.IncludeSubFolders)
            continue;
        if (!IsExcluded(masks, entry.fileName(), style))
            return true;
    }
    return false;
}

} // namespace tessaro
