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

#include <memory>

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
           QStringLiteral(", which is not a ZIP archive, to ") + Quoted(kept);
}

} // namespace

ArchiveJob::ArchiveJob(const QString& winRARPath, const TBackupRule& rule,
                       const TWinRAROptions& options, TLogProc log, const QString& archivePath)
    : m_winRARPath(winRARPath), m_rule(rule), m_format(options.ArchiveFormat),
      m_log(std::move(log)), m_archivePath(archivePath), m_errorLogPath(GetErrorLogFile(options)),
      m_tokens(BuildArchiverTokens(rule, options, archivePath, m_errorLogPath))
{}

void ArchiveJob::write(const QString& level, const QString& text) const
{
    if (m_log)
        m_log(level, text);
}

bool ArchiveJob::begin()
{
    m_errorLogSizeBefore = FileSizeOf(m_errorLogPath);
    m_archiveExistedBefore = QFileInfo::exists(m_archivePath);

    if (!SourceHasEntries(m_rule)) {
        write(levelWarning, sourceSkippedText(m_rule));
        m_resultCode = ResultSourceEmpty;
        return false;
    }
    if (m_rule.HasUnsafePassword()) {
        write(levelError, QStringLiteral("backup: failed, error: password contains ") +
                              m_rule.UnsafePasswordCharacter() +
                              QStringLiteral(". archiver not started"));
        m_resultCode = ResultUnsafePassword;
        return false;
    }
    if (m_rule.HasUnsafeExcludeMasks()) {
        write(levelError, QStringLiteral("backup: failed, error: exclude masks contain a double "
                                         "quote or control character. archiver not started"));
        m_resultCode = ResultUnsafeExcludeMasks;
        return false;
    }

    write(levelInfo, QStringLiteral("backup: creating ") + m_archivePath +
                         QStringLiteral(" from source ") + Quoted(m_rule.SourceFolder));
    return true;
}

int ArchiveJob::finish(int archiverCode)
{
    m_resultCode = archiverCode;
    const qint64 archiveSize = FileSizeOf(m_archivePath);
    if (m_resultCode == 0 && archiveSize < 0)
        m_resultCode = ResultNoArchiveCreated;
    const qint64 errorLogSizeAfter = FileSizeOf(m_errorLogPath);

    if ((m_resultCode == 0 || m_resultCode == 1) && m_format == TArchiveFormat::Zip &&
        ReadArchiveKind(m_archivePath) != ArchiveKind::Zip) {
        m_resultCode = ResultNotZipArchive;
        write(levelError, failureText(m_resultCode) + QLatin1Char(')'));
        write(levelWarning, setAsideMisnamedArchive(m_archivePath, m_archiveExistedBefore));
        return m_resultCode;
    }

    if (m_resultCode == 0 || m_resultCode == 1) {
        write(levelInfo,
              QStringLiteral("backup: completed, archive size: ") + FormatFileSize(archiveSize));
        // Any change of the log's size during the run means the archiver had
        // something to say: a log that appeared, grew, shrank or vanished.
        if (errorLogSizeAfter != m_errorLogSizeBefore) {
            write(levelInfo, QStringLiteral("backup: some errors were logged during backup. ") +
                                 checkLogText(m_errorLogPath));
        }
    } else if (errorLogSizeAfter >= 0) {
        write(levelError,
              failureText(m_resultCode) + QStringLiteral("). ") + checkLogText(m_errorLogPath));
    } else {
        write(levelError, failureText(m_resultCode) + QLatin1Char(')'));
    }
    return m_resultCode;
}

void ArchiveRule(ArchiverRunner& runner, const QString& winRARPath, const TBackupRule& rule,
                 const TWinRAROptions& options, const TLogProc& log, const QString& archivePath,
                 std::function<void(int resultCode)> done)
{
    auto job = std::make_shared<ArchiveJob>(winRARPath, rule, options, log, archivePath);
    if (!job->begin()) {
        done(job->resultCode());
        return;
    }
    runner.start(job->program(), job->tokens(), GetArchiverWorkingFolder(),
                 [job, done = std::move(done)](int code) { done(job->finish(code)); });
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
