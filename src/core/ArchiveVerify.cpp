#include "core/ArchiveVerify.h"

#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/Quoted.h"

namespace tessaro {

ArchiverTokens BuildTestTokens(const TBackupRule& rule, const QString& archivePath,
                               const QString& errorLogPath, PathStyle style)
{
    ArchiverTokens tokens{{QStringLiteral("t"), false}};
    if (rule.UsePassword && !rule.Password.isEmpty())
        tokens.append({QLatin1String("-p") + rule.Password, true});
    tokens.append({QStringLiteral("-IBCK"), false});
    tokens.append({QStringLiteral("-INUL"), false});
    tokens.append({QLatin1String("-ILOG") + errorLogPath, true});
    tokens.append(PlatformArchiverSwitches(style));
    tokens.append({archivePath, true});
    return tokens;
}

void VerifyArchive(ArchiverRunner& runner, const QString& winRARPath, const TBackupRule& rule,
                   const TWinRAROptions& options, const QString& archivePath, const TLogProc& log,
                   std::function<void(int code)> done)
{
    // The archive job has refused a password that would leave its token
    // before an archive could exist, so none reaches this point.
    runner.start(winRARPath, BuildTestTokens(rule, archivePath, GetErrorLogFile(options)),
                 GetArchiverWorkingFolder(), [archivePath, log, done = std::move(done)](int code) {
                     ReportArchiveTest(code, archivePath, log);
                     done(code);
                 });
}

void ReportArchiveTest(int code, const QString& archivePath, const TLogProc& log)
{
    if (!log)
        return;
    if (code == 0) {
        log(QStringLiteral("I"),
            QStringLiteral("backup: archive test passed for ") + Quoted(archivePath));
    } else {
        log(QStringLiteral("E"), QStringLiteral("backup: archive test failed for ") +
                                     Quoted(archivePath) + QStringLiteral(", error: ") +
                                     WinRARExitCodeText(code) + QStringLiteral(" (") +
                                     QString::number(code) + QLatin1Char(')'));
    }
}

} // namespace tessaro
