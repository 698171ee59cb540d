#pragma once

#include "app/ActivityLog.h"
#include "app/BackupPass.h"
#include "app/PassAlerts.h"
#include "app/PassRecord.h"
#include "app/PeriodicRunController.h"
#include "app/SettingsStore.h"
#include "core/Clock.h"
#include "core/LocalDateTime.h"

namespace tessaro {

// Notices when periodic runs have gone quiet: while they are active and no
// pass without errors has ended for more than one and a half periods (the
// computer slept, the archiver failed every time), it warns once per such
// stretch in the log, the tray and the next webhook call. It never starts a
// pass itself.
class OverdueWatch final : public PassObserver
{
public:
    OverdueWatch(const SettingsStore& settings, const PeriodicRunController& periodic,
                 const BackupPass& pass, const Clock& clock, ActivityLog& log, PassAlerts& alerts);
    Q_DISABLE_COPY_MOVE(OverdueWatch)

    // Every schedule tick, before the due pass may run.
    void tick();

    void passStarted(PassTrigger) override {}
    void passEnded(const PassRecord& record) override;

    static QString warningText(int hours, LocalDateTime since);

private:
    const SettingsStore& m_settings;
    const PeriodicRunController& m_periodic;
    const BackupPass& m_pass;
    const Clock& m_clock;
    ActivityLog& m_log;
    PassAlerts& m_alerts;
    LocalDateTime m_lastGoodPass;
    LocalDateTime m_activeSince;
    bool m_warned = false;
};

} // namespace tessaro
