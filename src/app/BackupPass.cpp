#include "app/BackupPass.h"

#include "app/LogLine.h"
#include "core/ArchiveJob.h"
#include "core/ArchiveVerify.h"
#include "core/ArchiverCommandLine.h"
#include "core/FileSize.h"
#include "core/Quoted.h"

#include <QFileInfo>

namespace tessaro {

namespace {

// The backup-once controls stay disabled while the action runs.
class DisabledBackupOnceControls final
{
public:
    explicit DisabledBackupOnceControls(MainView& view) : m_view(view) { setEnabled(false); }
    ~DisabledBackupOnceControls() { setEnabled(true); }
    Q_DISABLE_COPY_MOVE(DisabledBackupOnceControls)

private:
    void setEnabled(bool enabled)
    {
        for (Control control :
             {Control::ButtonRunOnce, Control::NavButtonRunOnce, Control::MenuRunOnce}) {
            m_view.setControlEnabled(control, enabled);
        }
    }

    MainView& m_view;
};

TWinRAROptions optionsFrom(const TSettings& settings, const QString& defaultErrorLogFile)
{
    TWinRAROptions options;
    options.ArchiveFormat = settings.ArchiveFormat;
    options.Compression = settings.Compression;
    options.StorePaths = settings.StorePaths;
    options.NumThreads = settings.UseNumThreads ? settings.NumThreads : 0;
    options.LogFile = settings.WinRARLogFile;
    options.UpdateMode = settings.UpdateMode;
    options.DefaultErrorLogFile = defaultErrorLogFile;
    return options;
}

// The time-of-day part of a duration: whole days are not shown.
QString formatDuration(LocalDateTime from, LocalDateTime to)
{
    const qint64 elapsed = to.milliseconds() - from.milliseconds();
    return LocalDateTime::fromMilliseconds(elapsed).format(u"hh:MM:ss");
}

// How a rule's job ended, for the run history.
RuleRecord recordOf(const TBackupRule& rule, int resultCode, bool made, LocalDateTime jobStart,
                    LocalDateTime jobEnd)
{
    RuleRecord record;
    record.source = rule.SourceFolder;
    record.result = resultCode;
    record.archive = rule.OutputFileName;
    // A job that made no archive has no size, whatever an older file left
    // at that path measures.
    const QFileInfo archive(rule.OutputFileName);
    record.size = made && archive.isFile() ? archive.size() : 0;
    record.start = jobStart;
    record.end = jobEnd;
    record.seconds = LocalDateTime::secondsBetween(jobStart, jobEnd);
    return record;
}

} // namespace

BackupPass::BackupPass(const SettingsStore& settings, MainView& view, const Clock& clock,
                       ActivityLog& log, Configuration& config, PassServices& services)
    : m_settings(settings), m_view(view), m_clock(clock), m_log(log), m_config(config),
      m_services(services)
{}

BackupPass::Running::Running(BackupPass& pass) : m_pass(pass)
{
    m_pass.m_running = true;
    m_pass.DisableApp();
}

BackupPass::Running::~Running()
{
    m_pass.m_log.clearCapture();
    // Idle before the controls come back, so that what the window shows
    // with them (the tray's tool tip) already reads idle.
    m_pass.m_running = false;
    m_pass.EnableApp();
}

qint64 BackupPass::DiskUsageBytes(int gigabytes)
{
    return qint64(gigabytes) * 1024 * 1024 * 1024;
}

BackupPass::AutoCleanLimits BackupPass::LimitsOf(const TBackupRule& rule)
{
    AutoCleanLimits limits;
    if (rule.AutoCleanMode == acmNumFiles)
        limits.maxFiles = rule.NumFiles;
    else if (rule.AutoCleanMode == acmDiskUsage)
        limits.maxBytes = DiskUsageBytes(rule.DiskUsage);
    return limits;
}

void BackupPass::EnableApp()
{
    setPassSettingsEnabled(true);
}

void BackupPass::DisableApp()
{
    setPassSettingsEnabled(false);
}

void BackupPass::setPassSettingsEnabled(bool enabled)
{
    // What the pass took at its start stays as the user sees it until it
    // ends: the schedule, and the auto clean limits, which belong to the
    // rules and so are not edited meanwhile either.
    for (Control panel : {Control::SchedulePagePanel, Control::AutoCleanPanel})
        m_view.setControlEnabled(panel, enabled);
}

bool BackupPass::RunBackup()
{
    const QString winRAR = m_settings.settings().WinRARLocation;
    if (!IsExistingFile(winRAR)) {
        m_log.LogError(QLatin1String("WinRAR location is not set to a valid value: ") +
                       Quoted(winRAR) + QLatin1String(". aborting."));
        return false;
    }
    if (m_settings.rules().Count() == 0) {
        m_log.LogWarn(QStringLiteral("No backup rules present. Aborting."));
        return false;
    }
    if (m_running) {
        m_log.LogWarn(QStringLiteral("Backup already in progress"));
        return false;
    }

    const Running running(*this);
    const std::unique_ptr<TBackupRules> rules = m_settings.rules().Clone();
    // Warnings raised between passes go out with this pass's webhook call.
    m_log.startCapture();
    PassRecord record;
    record.trigger = m_trigger;
    record.start = m_clock.now();
    for (PassObserver* observer : std::as_const(m_observers))
        observer->passStarted(record.trigger);
    m_log.LogInfo(QStringLiteral("backup: start"));
    m_view.setStatusText(QStringLiteral("backup process started"));

    const TWinRAROptions options = optionsFrom(m_settings.settings(), m_defaultErrorLogFile);
    m_verify = m_settings.settings().VerifyArchives;
    m_untrustedFolders.clear();
    const QString extension = ArchiveExtension(options.ArchiveFormat);
    const LocalDateTime passStart = m_clock.now();
    for (qsizetype i = 0; i < rules->Count(); ++i)
        rules->Item(i)->OutputFileName =
            BuildArchiveFileName(*rules->Item(i), options, passStart, rules->pathStyle());

    const int errors = runJobs(*rules, options, winRAR, record);
    cleanUp(*rules, extension);

    m_log.LogInfo(errors == 0 ? QStringLiteral("backup: finished")
                              : QStringLiteral("backup: finished (with errors)"));
    m_view.setStatusText(QString());
    notify(errors);
    m_lastErrors = errors;
    record.end = m_clock.now();
    for (PassObserver* observer : std::as_const(m_observers))
        observer->passEnded(record);
    return true;
}

int BackupPass::runJobs(const TBackupRules& rules, const TWinRAROptions& options,
                        const QString& winRAR, PassRecord& record)
{
    const LocalDateTime jobsStart = m_clock.now();
    int errors = 0;
    QStringList created;
    const TLogProc log = m_log.callback();
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        const TBackupRule& rule = *rules.Item(i);
        const LocalDateTime jobStart = m_clock.now();
        m_view.setStatusText(QLatin1String("backing up ") + rule.SourceFolder);
        int resultCode = 0;
        const bool archived = ArchiveRule(m_services.archiver(), winRAR, rule, options,
                                          resultCode, log, rule.OutputFileName);
        // Exit code 1 still writes the archive, with the files that could be read.
        const bool made = archived || resultCode == 1;
        if (archived && verified(winRAR, rules, rule, options, resultCode))
            created.append(rule.OutputFileName);
        else
            ++errors;
        const LocalDateTime jobEnd = m_clock.now();
        m_log.LogInfo(QLatin1String("time taken for ") + Quoted(rule.SourceFolder) +
                      QLatin1String(": ") + formatDuration(jobStart, jobEnd));
        RuleRecord ruleRecord = recordOf(rule, resultCode, made, jobStart, jobEnd);
        ruleRecord.logFile = logFileName(m_log.logFolder(), jobStart);
        // The window of the rule's log lines closes after its last line.
        ruleRecord.end = m_clock.now();
        record.rules.append(ruleRecord);
    }

    m_lastBackupTime = m_clock.now();
    m_config.SaveConfig();

    for (qsizetype n = 0; n < created.size(); ++n) {
        if (!IsExistingFile(created.at(n)))
            continue;
        m_log.LogInfo(QStringLiteral("backupfile %1 of %2: ").arg(n + 1).arg(created.size()) +
                      Quoted(created.at(n)));
    }
    if (rules.Count() > 1) {
        m_log.LogInfo(QLatin1String("total time taken: ") +
                      formatDuration(jobsStart, m_clock.now()));
    }
    return errors;
}

bool BackupPass::verified(const QString& winRAR, const TBackupRules& rules, const TBackupRule& rule,
                          const TWinRAROptions& options, int& resultCode)
{
    if (!m_verify)
        return true;
    const int code = VerifyArchive(m_services.archiver(), winRAR, rule, options,
                                   rule.OutputFileName, m_log.callback());
    if (code == 0)
        return true;
    resultCode = code;
    m_untrustedFolders.insert(rules.RuleByDestinationFolder(rule.DestinationFolder));
    return false;
}

void BackupPass::cleanUp(const TBackupRules& rules, const QString& extension)
{
    m_view.setStatusText(QStringLiteral("cleaning up"));
    const TLogProc log = m_log.callback();
    TAutoCleanContext context;
    context.Now = m_clock.now();
    // Every archive name of the pass, made or not: a failed job may still
    // have left an archive, and an update keeps the name of the last one.
    for (qsizetype i = 0; i < rules.Count(); ++i)
        context.PassArchives.append(rules.Item(i)->OutputFileName);
    for (const TBackupRule* rule : rules.FirstRulesOfDestinationFolders()) {
        const AutoCleanLimits limits = LimitsOf(*rule);
        if (!limits.any())
            continue;
        if (m_untrustedFolders.contains(rule)) {
            m_log.LogWarn(QStringLiteral("auto clean: skipped for ") +
                          Quoted(rule->DestinationFolder) +
                          QStringLiteral(", an archive of this pass failed its test"));
            continue;
        }
        m_services.autoCleanFolder(rule->DestinationFolder, extension, limits.maxFiles,
                                   limits.maxBytes, log, context);
    }
}

void BackupPass::notify(int errors)
{
    const TSettings& settings = m_settings.settings();
    if (!settings.CallWebHook || settings.WebHookURL.isEmpty())
        return;
    const QString computer = m_services.computerName();
    const QString status = errors == 0 ? QStringLiteral("OK") : QStringLiteral("ERROR");
    const QString subject = QLatin1String("Tessaro notification: ") + status + QLatin1String(" [") +
                            computer + QLatin1Char(']');
    const QString message = settings.IncludeLogsInWebHookCall ? m_log.captureText() : QString();
    m_log.LogInfo(QStringLiteral("Calling notification URL"));
    const WebHookOutcome outcome =
        m_services.postWebHook(settings.WebHookURL, subject, message, status, computer);
    if (outcome.success)
        m_log.LogInfo(QStringLiteral("Notification URL called"));
    else
        m_log.LogInfo(QLatin1String("Calling notification failed: ") + outcome.errorText);
}

void BackupPass::BackUpOnceNow()
{
    if (m_running) {
        m_view.showMessage(QStringLiteral("A backup process is already running."),
                           QStringLiteral("Backup Once (Now)"), MessageButtons::Ok);
        return;
    }
    bool ran = false;
    {
        const DisabledBackupOnceControls disabled(m_view);
        m_log.LogInfo(QStringLiteral("action: backup once (now)"));
        ran = RunBackup();
    }
    if (ran && m_settings.settings().ExitAfterBackupOnce) {
        m_config.SaveConfig();
        // A task scheduler or service manager sees the outcome in the exit
        // status.
        m_exitStatus = m_lastErrors == 0 ? ExitStatusOk : ExitStatusErrors;
        m_view.quit();
    }
}

} // namespace tessaro
