#include "app/BackupPass.h"

#include "app/LogLine.h"
#include "core/ArchiveJob.h"
#include "core/ArchiveSignature.h"
#include "core/ArchiveVerify.h"
#include "core/ArchiverCommandLine.h"
#include "core/ArchiverExitCodes.h"
#include "core/ArchiverProcess.h"
#include "core/ExcludeMask.h"
#include "core/FileSize.h"
#include "core/Quoted.h"

#include <QFile>
#include <QFileInfo>
#include <QObject>

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
    record.excluded = ExcludeMaskTexts(rule.ExcludeMasks);
    return record;
}

// The copy a pass works on: every rule, or the one at the position.
std::unique_ptr<TBackupRules> passRules(const TBackupRules& rules,
                                        std::optional<qsizetype> onlyRule)
{
    if (!onlyRule)
        return rules.Clone();
    auto one = std::make_unique<TBackupRules>(rules.pathStyle());
    auto copy = std::make_unique<TBackupRule>();
    rules.Item(*onlyRule)->CopyTo(*copy);
    one->Add(std::move(copy));
    return one;
}

// One line per rule that left something out on purpose, each ended by
// CR LF like the log lines: "exclusions of "<source>": <masks>". Empty when
// no rule has masks, so such messages stay exactly as they were.
QString exclusionLines(const TBackupRules& rules)
{
    QString lines;
    for (qsizetype i = 0; i < rules.Count(); ++i) {
        const TBackupRule& rule = *rules.Item(i);
        const QStringList masks = ExcludeMaskTexts(rule.ExcludeMasks);
        if (masks.isEmpty())
            continue;
        lines += QLatin1String("exclusions of ") + Quoted(rule.SourceFolder) + QLatin1String(": ") +
                 masks.join(QLatin1String("; ")) + QLatin1String("\r\n");
    }
    return lines;
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
    m_pass.setStopControlsEnabled(true);
}

BackupPass::Running::~Running()
{
    m_pass.m_log.clearCapture();
    // Idle before the controls come back, so that what the window shows
    // with them (the tray's tool tip) already reads idle.
    m_pass.m_running = false;
    m_pass.setStopControlsEnabled(false);
    m_pass.m_view.setPassProgress(QString());
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

void BackupPass::setStopControlsEnabled(bool enabled)
{
    for (Control control :
         {Control::ButtonStopBackup, Control::MenuStopBackup, Control::TrayMenuStopBackup}) {
        m_view.setControlEnabled(control, enabled);
    }
}

void BackupPass::setPassSettingsEnabled(bool enabled)
{
    // What the pass took at its start stays as the user sees it until it
    // ends: the schedule, and the auto clean limits, which belong to the
    // rules and so are not edited meanwhile either.
    for (Control panel : {Control::SchedulePagePanel, Control::AutoCleanPanel})
        m_view.setControlEnabled(panel, enabled);
}

// One pass's state from "backup: start" to its end.
struct BackupPass::Current
{
    explicit Current(BackupPass& pass) : running(pass) {}

    const Running running;
    std::unique_ptr<TBackupRules> rules;
    TWinRAROptions options;
    QString winRAR;
    QString extension;
    // Read once per pass, like the archiver options.
    bool verify = false;
    // Where the archivers start; looked up once, as it costs file system
    // calls.
    QString workingFolder;
    PassRecord record;
    LocalDateTime jobsStart;
    qsizetype next = 0;
    int errors = 0;
    QStringList created;
    // The job of the rule being archived, from its start to its end.
    std::optional<ArchiveJob> job;
    LocalDateTime jobStart;
    // An archiver (the job's or the archive test's) runs now.
    bool archiverRunning = false;
    bool jobsOver = false;
    std::optional<StopReason> stopped;
    // The first rules of the folders where an archive of this pass failed
    // its test: auto clean leaves them alone, so an older good archive is
    // never deleted to make room for a bad one.
    QSet<const TBackupRule*> untrustedFolders;
    // The RAR4 warning is said once a pass.
    bool formatWarned = false;
    Then afterPass;

    const TBackupRule& rule() const { return *rules->Item(next); }
};

BackupPass::~BackupPass()
{
    // Idle however the pass ends, even by the program's end: its archiver
    // goes too.
    if (m_current && m_current->archiverRunning)
        m_services.archiver().stop();
}

ArchiverRunner::Finished BackupPass::forThisPass(void (BackupPass::*step)(int))
{
    return [this, step, pass = std::weak_ptr<Current>(m_current)](int code) {
        if (!pass.expired())
            (this->*step)(code);
    };
}

bool BackupPass::RunBackup(Then afterPass, std::optional<qsizetype> onlyRule)
{
    const QString winRAR = m_settings.settings().WinRARLocation;
    if (!IsExistingFile(winRAR)) {
        m_log.LogError(QLatin1String("WinRAR location is not set to a valid value: ") +
                       Quoted(winRAR) + QLatin1String(". aborting."));
        return false;
    }
    if (m_settings.rules().Count() == 0 ||
        (onlyRule && (*onlyRule < 0 || *onlyRule >= m_settings.rules().Count()))) {
        m_log.LogWarn(QStringLiteral("No backup rules present. Aborting."));
        return false;
    }
    if (m_running) {
        m_log.LogWarn(QStringLiteral("Backup already in progress"));
        return false;
    }

    m_current = std::make_shared<Current>(*this);
    Current& pass = *m_current;
    pass.afterPass = std::move(afterPass);
    pass.winRAR = winRAR;
    pass.rules = passRules(m_settings.rules(), onlyRule);
    // Warnings raised between passes go out with this pass's webhook call.
    m_log.startCapture();
    pass.record.trigger = m_trigger;
    pass.record.start = m_clock.now();
    for (PassObserver* observer : std::as_const(m_observers))
        observer->passStarted(pass.record.trigger);
    m_log.LogInfo(QStringLiteral("backup: start"));
    m_view.setStatusText(QStringLiteral("backup process started"));

    pass.options = optionsFrom(m_settings.settings(), m_defaultErrorLogFile);
    pass.verify = m_settings.settings().VerifyArchives;
    pass.workingFolder = GetArchiverWorkingFolder();
    pass.extension = ArchiveExtension(pass.options.ArchiveFormat);
    const LocalDateTime passStart = m_clock.now();
    TBackupRules& rules = *pass.rules;
    for (qsizetype i = 0; i < rules.Count(); ++i)
        rules.Item(i)->OutputFileName =
            BuildArchiveFileName(*rules.Item(i), pass.options, passStart, rules.pathStyle());

    pass.jobsStart = m_clock.now();
    startNextRule();
    return true;
}

void BackupPass::startNextRule()
{
    Current& pass = *m_current;
    if (pass.stopped || pass.next == pass.rules->Count()) {
        endJobs();
        return;
    }
    const TBackupRule& rule = pass.rule();
    pass.jobStart = m_clock.now();
    m_view.setStatusText(QLatin1String("backing up ") + rule.SourceFolder);
    refreshProgress();
    pass.job.emplace(pass.winRAR, rule, pass.options, m_log.callback(), rule.OutputFileName);
    if (!pass.job->begin()) {
        ruleEnded(pass.job->resultCode());
        return;
    }
    pass.archiverRunning = true;
    // The runner may report the end before it returns: nothing of the pass
    // is touched after this call.
    m_services.archiver().start(pass.job->program(), pass.job->tokens(), pass.workingFolder,
                                forThisPass(&BackupPass::archiverEnded));
}

void BackupPass::archiverEnded(int archiverCode)
{
    Current& pass = *m_current;
    pass.archiverRunning = false;
    if (pass.stopped) {
        dropStoppedArchive();
        ruleEnded(ResultStopped);
        return;
    }
    const int resultCode = pass.job->finish(archiverCode);
    if (resultCode == 0 && pass.verify) {
        startArchiveTest();
        return;
    }
    ruleEnded(resultCode);
}

void BackupPass::startArchiveTest()
{
    Current& pass = *m_current;
    pass.archiverRunning = true;
    const TBackupRule& rule = pass.rule();
    // The archive job has refused a password that would leave its token
    // before an archive could exist, so none reaches this point.
    m_services.archiver().start(
        pass.winRAR, BuildTestTokens(rule, rule.OutputFileName, GetErrorLogFile(pass.options)),
        pass.workingFolder, forThisPass(&BackupPass::archiveTestEnded));
}

void BackupPass::archiveTestEnded(int code)
{
    Current& pass = *m_current;
    pass.archiverRunning = false;
    // A test cut short says nothing of the archive, which was complete:
    // it stays, but is not counted as made.
    if (pass.stopped) {
        ruleEnded(ResultStopped);
        return;
    }
    const TBackupRule& rule = pass.rule();
    ReportArchiveTest(code, rule.OutputFileName, m_log.callback());
    if (code != 0)
        pass.untrustedFolders.insert(pass.rules->RuleByDestinationFolder(rule.DestinationFolder));
    ruleEnded(code);
}

void BackupPass::dropStoppedArchive()
{
    const ArchiveJob& job = *m_current->job;
    const QString& archive = job.archivePath();
    if (!QFileInfo::exists(archive))
        return;
    if (job.archiveExistedBefore()) {
        m_log.LogWarn(QStringLiteral("backup: ") + Quoted(archive) +
                      QStringLiteral(" existed before the stopped job and is left as the archiver "
                                     "left it"));
        return;
    }
    // Auto clean would count an incomplete archive as a backup.
    if (QFile::remove(archive)) {
        m_log.LogInfo(QStringLiteral("backup: removed the incomplete archive ") + Quoted(archive));
    } else {
        m_log.LogError(QStringLiteral("backup: could not remove the incomplete archive ") +
                       Quoted(archive));
    }
}

void BackupPass::warnOfFormatChosenByArchiver(const QString& archivePath)
{
    Current& pass = *m_current;
    if (pass.formatWarned || pass.options.ArchiveFormat != TArchiveFormat::Rar4 ||
        ReadArchiveKind(archivePath) != ArchiveKind::Rar5)
        return;
    pass.formatWarned = true;
    m_log.LogWarn(QStringLiteral("backup: RAR4 (Compatible) is chosen, but the archiver wrote a "
                                 "RAR5 archive: its version decides the format (RAR 7 writes "
                                 "RAR5 only)"));
}

void BackupPass::ruleEnded(int resultCode)
{
    Current& pass = *m_current;
    const TBackupRule& rule = pass.rule();
    warnOfFormatChosenByArchiver(rule.OutputFileName);
    if (resultCode == 0)
        pass.created.append(rule.OutputFileName);
    else
        ++pass.errors;
    const LocalDateTime jobEnd = m_clock.now();
    m_log.LogInfo(QLatin1String("time taken for ") + Quoted(rule.SourceFolder) +
                  QLatin1String(": ") + formatDuration(pass.jobStart, jobEnd));
    // Exit code 1 still writes the archive, with the files that could be read.
    const bool made = pass.job && (pass.job->resultCode() == 0 || pass.job->resultCode() == 1);
    RuleRecord ruleRecord = recordOf(rule, resultCode, made, pass.jobStart, jobEnd);
    ruleRecord.logFile = logFileName(m_log.logFolder(), pass.jobStart);
    // The window of the rule's log lines closes after its last line.
    ruleRecord.end = m_clock.now();
    pass.record.rules.append(ruleRecord);
    pass.job.reset();
    ++pass.next;
    // The next rule starts from the event loop: what waits there (a tick,
    // the user's Stop) comes first, and the stack does not grow by rule.
    QMetaObject::invokeMethod(
        &m_steps,
        [this, current = std::weak_ptr<Current>(m_current)] {
            if (!current.expired())
                startNextRule();
        },
        Qt::QueuedConnection);
}

void BackupPass::endJobs()
{
    Current& pass = *m_current;
    pass.jobsOver = true;
    refreshProgress();
    m_lastBackupTime = m_clock.now();
    m_config.SaveConfig();

    const QStringList& created = pass.created;
    for (qsizetype n = 0; n < created.size(); ++n) {
        if (!IsExistingFile(created.at(n)))
            continue;
        m_log.LogInfo(QStringLiteral("backupfile %1 of %2: ").arg(n + 1).arg(created.size()) +
                      Quoted(created.at(n)));
    }
    if (pass.rules->Count() > 1) {
        m_log.LogInfo(QLatin1String("total time taken: ") +
                      formatDuration(pass.jobsStart, m_clock.now()));
    }
    if (!pass.stopped)
        cleanUp(*pass.rules, pass.extension);

    const bool failed = pass.errors != 0 || pass.stopped;
    m_log.LogInfo(failed ? QStringLiteral("backup: finished (with errors)")
                         : QStringLiteral("backup: finished"));
    m_view.setStatusText(QString());
    notify(failed, [this] { endPass(); });
}

void BackupPass::endPass()
{
    Current& pass = *m_current;
    // A pass stopped between two jobs has no failed rule, yet is no good
    // backup.
    m_lastErrors = pass.errors == 0 && pass.stopped ? 1 : pass.errors;
    pass.record.end = m_clock.now();
    pass.record.stopped = pass.stopped.has_value();
    for (PassObserver* observer : std::as_const(m_observers))
        observer->passEnded(pass.record);
    const Then afterPass = std::move(pass.afterPass);
    m_current.reset();
    if (afterPass)
        afterPass();
    if (m_endProgramAfterPass) {
        m_endProgramAfterPass = false;
        m_exitStatus = m_lastErrors == 0 ? ExitStatusOk : ExitStatusErrors;
        m_view.quit();
    }
}

bool BackupPass::Stop(StopReason reason)
{
    if (!m_current || m_current->jobsOver || m_current->stopped)
        return false;
    Current& pass = *m_current;
    pass.stopped = reason;
    m_log.LogWarn(reason == StopReason::User
                      ? QStringLiteral("backup: stopped by the user")
                      : QStringLiteral("backup: stopped, the program is asked to end"));
    // Between two steps nothing runs: the next step sees the stop.
    if (pass.archiverRunning)
        m_services.archiver().stop();
    return true;
}

void BackupPass::StopBackupClick()
{
    if (!m_running)
        return;
    if (m_view.showMessage(QStringLiteral("Do you want to stop the running backup?"),
                           QStringLiteral("Stop backup"),
                           MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // The pass went on while the question was open, and may be over now.
    Stop(StopReason::User);
}

QString BackupPass::progressText() const
{
    // Between the last rule and the steps after it no rule is archived.
    if (!m_current || m_current->jobsOver || m_current->next == m_current->rules->Count())
        return {};
    const Current& pass = *m_current;
    const qint64 minutes = LocalDateTime::secondsBetween(pass.jobStart, m_clock.now()) / 60;
    const QString since = minutes < 60 ? QStringLiteral("%1 min").arg(minutes)
                                       : QStringLiteral("%1 h %2 min")
                                             .arg(minutes / 60)
                                             .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("Backup %1 of %2: ").arg(pass.next + 1).arg(pass.rules->Count()) +
           pass.rule().SourceFolder + QStringLiteral(" (") + since + QLatin1Char(')');
}

void BackupPass::refreshProgress()
{
    m_view.setPassProgress(progressText());
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
        if (m_current->untrustedFolders.contains(rule)) {
            m_log.LogWarn(QStringLiteral("auto clean: skipped for ") +
                          Quoted(rule->DestinationFolder) +
                          QStringLiteral(", an archive of this pass failed its test"));
            continue;
        }
        m_services.autoCleanFolder(rule->DestinationFolder, extension, limits.maxFiles,
                                   limits.maxBytes, log, context);
    }
}

void BackupPass::notify(bool failed, Then then)
{
    const TSettings& settings = m_settings.settings();
    if (!settings.CallWebHook || settings.WebHookURL.isEmpty()) {
        then();
        return;
    }
    const QString computer = m_services.computerName();
    const QString status = failed ? QStringLiteral("ERROR") : QStringLiteral("OK");
    const QString subject = QLatin1String("Tessaro notification: ") + status + QLatin1String(" [") +
                            computer + QLatin1Char(']');
    const QString message = (settings.IncludeLogsInWebHookCall ? m_log.captureText() : QString()) +
                            exclusionLines(*m_current->rules);
    m_log.LogInfo(QStringLiteral("Calling notification URL"));
    m_services.postWebHook(settings.WebHookURL, subject, message, status, computer,
                           [this, then = std::move(then)](const WebHookOutcome& outcome) {
                               if (outcome.success)
                                   m_log.LogInfo(QStringLiteral("Notification URL called"));
                               else
                                   m_log.LogInfo(QLatin1String("Calling notification failed: ") +
                                                 outcome.errorText);
                               then();
                           });
}

void BackupPass::BackUpOnceNow(Then then)
{
    if (m_running) {
        m_view.showMessage(QStringLiteral("A backup process is already running."),
                           QStringLiteral("Backup Once (Now)"), MessageButtons::Ok);
        if (then)
            then();
        return;
    }
    auto disabled = std::make_shared<DisabledBackupOnceControls>(m_view);
    m_log.LogInfo(QStringLiteral("action: backup once (now)"));
    // From here on only the pass holds the controls off: they are back
    // before the exit, as soon as the pass is over or refused.
    Then afterPass = [this, disabled = std::move(disabled), then]() mutable {
        disabled.reset();
        exitIfAsked();
        if (then)
            then();
    };
    if (!RunBackup(std::move(afterPass)) && then)
        then();
}

void BackupPass::BackUpRuleNow(qsizetype index)
{
    const QString caption = QStringLiteral("Back up this rule now");
    if (m_running) {
        m_view.showMessage(QStringLiteral("A backup process is already running."), caption,
                           MessageButtons::Ok);
        return;
    }
    if (index < 0 || index >= m_settings.rules().Count()) {
        m_view.showMessage(QStringLiteral("Please select the rule you want to back up"), caption,
                           MessageButtons::Ok);
        return;
    }
    // The controls come back with the pass's end, or at once when refused.
    auto disabled = std::make_shared<DisabledBackupOnceControls>(m_view);
    m_log.LogInfo(QLatin1String("action: back up rule now ") +
                  Quoted(m_settings.rules().Item(index)->SourceFolder));
    const TriggerScope trigger(*this, PassTrigger::Rule);
    RunBackup([disabled = std::move(disabled)]() mutable { disabled.reset(); }, index);
}

void BackupPass::exitIfAsked()
{
    if (!m_settings.settings().ExitAfterBackupOnce)
        return;
    m_config.SaveConfig();
    // A task scheduler or service manager sees the outcome in the exit
    // status.
    m_exitStatus = m_lastErrors == 0 ? ExitStatusOk : ExitStatusErrors;
    m_view.quit();
}

} // namespace tessaro
