#pragma once

#include "ActivityLog.h"
#include "Clock.h"
#include "ConfigFile.h"
#include "MainView.h"
#include "MainWindowState.h"
#include "PassServices.h"

namespace tessaro {

// One backup pass over every rule, and the user's "Backup Once (Now)"
// action around it.
class BackupPass final
{
public:
    BackupPass(MainWindowState& state, MainView& view, const Clock& clock, ActivityLog& log,
               ConfigFile& config, PassServices& services);
    Q_DISABLE_COPY_MOVE(BackupPass)

    // True when a pass was carried out, whatever its errors; false when it
    // refused to start.
    bool RunBackup();
    void BackUpOnceNow();

    void EnableApp();
    void DisableApp();

    // The byte limit auto clean gets for a "Limit by disk usage (GB):" value.
    static qint64 DiskUsageBytes(int gigabytes);

private:
    // Runs every job, records the last backup time, saves and lists the
    // archives made. Returns the number of rules that failed.
    int runJobs(const TBackupRules& rules, const TWinRAROptions& options, const QString& winRAR);
    // Auto clean once per destination folder that has a limit, keeping
    // every archive of this pass.
    void cleanUp(const TBackupRules& rules, const QString& extension);
    // Tells the webhook how the pass ended, when it is set up.
    void notify(int errors);

    MainWindowState& m_state;
    MainView& m_view;
    const Clock& m_clock;
    ActivityLog& m_log;
    ConfigFile& m_config;
    PassServices& m_services;
};

} // namespace tessaro
