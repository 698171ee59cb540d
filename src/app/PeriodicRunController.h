#pragma once

#include "app/ActivityLog.h"
#include "app/BackupPass.h"
#include "app/ConfigFile.h"
#include "app/MainView.h"
#include "app/MainWindowState.h"
#include "core/Clock.h"
#include "core/LocalDateTime.h"
#include "core/Schedule.h"

namespace tessaro {

// Starts and stops periodic runs, shows when the next one falls due and
// starts it from the one-second schedule timer.
class PeriodicRunController final
{
public:
    PeriodicRunController(MainWindowState& state, MainView& view, const Clock& clock,
                          ActivityLog& log, ConfigFile& config, BackupPass& pass);
    Q_DISABLE_COPY_MOVE(PeriodicRunController)

    // Takes the schedule fields of the settings into Sched.
    void UpdateSchedule();
    void ActionRun(bool interactive);
    void ActionStop();
    // One tick of the schedule timer.
    void TimerScheduleTimer();

    void NavButtonRunClick();
    void MenuRunPeriodicClick();

    // "Next run: 27.03.2026 14:05, time remaining: 2 days, 03:15".
    static QString RemainingTimeText(LocalDateTime next, LocalDateTime now);

    TSchedule Sched;

private:
    void setRunControls(bool active);
    // True when there are rules; otherwise tells the user to add some.
    bool checkRulesForClick();
    void logNextRun();

    MainWindowState& m_state;
    MainView& m_view;
    const Clock& m_clock;
    ActivityLog& m_log;
    ConfigFile& m_config;
    BackupPass& m_pass;
    // A tick is running the due steps, the scheduled pass among them.
    bool m_scheduledPassRunning = false;
};

} // namespace tessaro
