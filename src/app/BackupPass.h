#pragma once

#include "app/ActivityLog.h"
#include "app/Configuration.h"
#include "app/MainView.h"
#include "app/PassRecord.h"
#include "app/PassServices.h"
#include "app/SettingsStore.h"
#include "core/ArchiveJob.h"
#include "core/ArchiverCommandLine.h"
#include "core/BackupRule.h"
#include "core/Clock.h"

#include <QList>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace tessaro {

// The program's exit status after "Exit program after each Backup once".
inline constexpr int ExitStatusOk = 0;
inline constexpr int ExitStatusErrors = 1;

// Why a running pass was stopped.
enum class StopReason
{
    // "Stop backup", confirmed.
    User,
    // The program is asked to end (a service manager, the session).
    ProgramEnd,
};

// One backup pass over every rule, and the user's "Backup Once (Now)" and
// "Stop backup" actions around it. A pass advances from the event loop: it
// starts the archiver and returns, and the archiver's end runs the next
// step, so that nothing on the stack (a modal box, say) ever holds it.
class BackupPass final
{
public:
    BackupPass(const SettingsStore& settings, MainView& view, const Clock& clock, ActivityLog& log,
               Configuration& config, PassServices& services);
    ~BackupPass();
    Q_DISABLE_COPY_MOVE(BackupPass)

    // A pass runs from the time this is made until it is gone: the controls
    // a pass may not share are off, and the pass is back to idle however it
    // ends.
    class Running final
    {
    public:
        explicit Running(BackupPass& pass);
        ~Running();
        Q_DISABLE_COPY_MOVE(Running)

    private:
        BackupPass& m_pass;
    };

    bool isRunning() const { return m_running; }
    // When the last pass ended its jobs; never before the first.
    LocalDateTime lastBackupTime() const { return m_lastBackupTime; }
    // The time the configuration file remembers.
    void restoreLastBackupTime(LocalDateTime time) { m_lastBackupTime = time; }
    // What the program returns when it ends.
    int exitStatus() const { return m_exitStatus; }

    // Runs once a pass or an action is over.
    using Then = std::function<void()>;

    // Starts a pass and returns: true when it started, whatever its errors
    // later; false when it refused to start. afterPass runs once the pass has
    // ended, after its observers heard of it; never when it refused. With
    // onlyRule, the pass is over the rule at that list position alone;
    // otherwise over every rule.
    bool RunBackup(Then afterPass = {}, std::optional<qsizetype> onlyRule = std::nullopt);
    // then runs once the action is over: after the pass and the exit it may
    // ask for, or at once when no pass started.
    void BackUpOnceNow(Then then = {});
    // "Back up this rule now": the pass of "Backup Once (Now)" over the rule
    // at the list position alone, recorded with the trigger "rule". Refused
    // while a pass runs; never ends the program.
    void BackUpRuleNow(qsizetype index);
    // "Stop backup": asks, then stops the running pass.
    void StopBackupClick();
    // Stops the running pass without asking: the running archiver is ended,
    // the remaining rules, the archive test and auto clean are skipped, and
    // the pass ends with errors. False when no pass is left to stop: none
    // runs, its jobs are over or it is stopping already.
    bool Stop(StopReason reason);
    // Ends the program once the running pass is over, with the exit status
    // of its outcome.
    void endProgramAfterPass() { m_endProgramAfterPass = true; }
    // "Backup 3 of 12: /home/ana/Photos/ (2 min)" while a rule is archived;
    // empty otherwise.
    QString progressText() const;
    // Shows progressText() in the window; the schedule tick calls it.
    void refreshProgress();

    void EnableApp();
    void DisableApp();
    // "Stop backup" is there exactly while a pass runs.
    void setStopControlsEnabled(bool enabled);

    // The archiver's error log when the settings name no existing folder for
    // it; start-up sets it once the data folder is known.
    void setDefaultErrorLogFile(const QString& path) { m_defaultErrorLogFile = path; }

    // The byte limit auto clean gets for a "Limit by disk usage (GB):" value.
    static qint64 DiskUsageBytes(int gigabytes);

    // The limits auto clean gets for a folder whose first rule this is:
    // one of them set, or both 0 when the folder is not cleaned.
    struct AutoCleanLimits
    {
        int maxFiles = 0;
        qint64 maxBytes = 0;
        bool any() const { return maxFiles != 0 || maxBytes != 0; }
    };
    static AutoCleanLimits LimitsOf(const TBackupRule& rule);

    // Observers are told of every pass that starts; they outlive the pass.
    void addObserver(PassObserver* observer) { m_observers.append(observer); }
    // The error count of the last pass carried out.
    int lastErrors() const { return m_lastErrors; }

    // Names what starts the passes run while it lives; a pass started
    // otherwise counts as started by the button.
    class TriggerScope final
    {
    public:
        TriggerScope(BackupPass& pass, PassTrigger trigger) : m_pass(pass)
        {
            m_pass.m_trigger = trigger;
        }
        ~TriggerScope() { m_pass.m_trigger = PassTrigger::Button; }
        Q_DISABLE_COPY_MOVE(TriggerScope)

    private:
        BackupPass& m_pass;
    };

private:
    struct Current;

    // The panels of the settings a running pass depends on.
    void setPassSettingsEnabled(bool enabled);
    // "Exit program after each Backup once": saves and ends the program.
    void exitIfAsked();
    // The steps of a pass, each run by the end of the one before.
    void startNextRule();
    // The archiver's end for the pass that is running now: an end that
    // arrives for a pass that is gone is dropped.
    ArchiverRunner::Finished forThisPass(void (BackupPass::*step)(int));
    void archiverEnded(int archiverCode);
    // With verification on, tests the archive a rule's job made; a failed
    // test turns the job into a failure with the archiver's exit code.
    void startArchiveTest();
    void archiveTestEnded(int code);
    // Once a pass: RAR4 was chosen, but the archiver wrote RAR5 (RAR 7
    // writes nothing else, and refuses the switch that asked for RAR 4).
    void warnOfFormatChosenByArchiver(const QString& archivePath);
    void ruleEnded(int resultCode);
    // Records the last backup time, saves and lists the archives made,
    // cleans up and tells the webhook.
    void endJobs();
    void endPass();
    // What a stop leaves of the archive the stopped job was making.
    void dropStoppedArchive();
    // Auto clean once per destination folder that has a limit, keeping
    // every archive of this pass.
    void cleanUp(const TBackupRules& rules, const QString& extension);
    // Tells the webhook how the pass ended, and what the pass's rules left
    // out, when it is set up; then runs once the call is over.
    void notify(bool failed, Then then);

    const SettingsStore& m_settings;
    MainView& m_view;
    const Clock& m_clock;
    ActivityLog& m_log;
    Configuration& m_config;
    PassServices& m_services;
    QList<PassObserver*> m_observers;
    // The running pass; none while idle.
    std::shared_ptr<Current> m_current;
    // The context of the steps queued for the event loop.
    QObject m_steps;
    PassTrigger m_trigger = PassTrigger::Button;
    int m_lastErrors = 0;
    bool m_running = false;
    LocalDateTime m_lastBackupTime;
    int m_exitStatus = ExitStatusOk;
    bool m_endProgramAfterPass = false;
    QString m_defaultErrorLogFile;
};

} // namespace tessaro
