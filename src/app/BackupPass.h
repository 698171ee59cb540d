#pragma once

#include "app/ActivityLog.h"
#include "app/Configuration.h"
#include "app/MainView.h"
#include "app/PassRecord.h"
#include "app/PassServices.h"
#include "app/SettingsStore.h"
#include "core/ArchiverCommandLine.h"
#include "core/BackupRule.h"
#include "core/Clock.h"

#include <QList>
#include <QSet>

#include <optional>

namespace tessaro {

// The program's exit status after "Exit program after each Backup once".
inline constexpr int ExitStatusOk = 0;
inline constexpr int ExitStatusErrors = 1;

// One backup pass over every rule, and the user's "Backup Once (Now)"
// action around it.
class BackupPass final
{
public:
    BackupPass(const SettingsStore& settings, MainView& view, const Clock& clock, ActivityLog& log,
               Configuration& config, PassServices& services);
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

    // True when a pass was carried out, whatever its errors; false when it
    // refused to start. With onlyRule, the pass is over the rule at that
    // list position alone; otherwise over every rule.
    bool RunBackup(std::optional<qsizetype> onlyRule = std::nullopt);
    void BackUpOnceNow();
    // "Back up this rule now": the pass of "Backup Once (Now)" over the rule
    // at the list position alone, recorded with the trigger "rule". Refused
    // while a pass runs; never ends the program.
    void BackUpRuleNow(qsizetype index);

    void EnableApp();
    void DisableApp();

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
    // The panels of the settings a running pass depends on.
    void setPassSettingsEnabled(bool enabled);
    // Runs every job, records the last backup time, saves and lists the
    // archives made. Returns the number of rules that failed.
    int runJobs(const TBackupRules& rules, const TWinRAROptions& options, const QString& winRAR,
                PassRecord& record);
    // With verification on, tests the archive a rule's job made; a failed
    // test turns the job into a failure with the archiver's exit code.
    bool verified(const QString& winRAR, const TBackupRules& rules, const TBackupRule& rule,
                  const TWinRAROptions& options, int& resultCode);
    // Once a pass: RAR4 was chosen, but the archiver wrote RAR5 (RAR 7
    // writes nothing else, and refuses the switch that asked for RAR 4).
    void warnOfFormatChosenByArchiver(const QString& archivePath, const TWinRAROptions& options);
    // Auto clean once per destination folder that has a limit, keeping
    // every archive of this pass.
    void cleanUp(const TBackupRules& rules, const QString& extension);
    // Tells the webhook how the pass ended, and what the pass's rules left
    // out, when it is set up.
    void notify(int errors, const TBackupRules& rules);

    const SettingsStore& m_settings;
    MainView& m_view;
    const Clock& m_clock;
    ActivityLog& m_log;
    Configuration& m_config;
    PassServices& m_services;
    QList<PassObserver*> m_observers;
    PassTrigger m_trigger = PassTrigger::Button;
    int m_lastErrors = 0;
    bool m_running = false;
    LocalDateTime m_lastBackupTime;
    int m_exitStatus = ExitStatusOk;
    QString m_defaultErrorLogFile;
    // Read once per pass, like the archiver options.
    bool m_verify = false;
    // The first rules of the folders where an archive of this pass failed
    // its test: auto clean leaves them alone, so an older good archive is
    // never deleted to make room for a bad one.
    QSet<const TBackupRule*> m_untrustedFolders;
    bool m_formatWarned = false;
};

} // namespace tessaro
