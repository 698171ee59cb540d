#pragma once

#include "app/ActivityLog.h"
#include "app/BackupPass.h"
#include "app/Configuration.h"
#include "app/MainView.h"
#include "app/SettingsStore.h"
#include "core/Clock.h"
#include "core/LocalDateTime.h"
#include "core/Schedule.h"

namespace tessaro {

// Starts and stops periodic runs, shows when the next one falls due and
// starts it from the one-second schedule timer.
class PeriodicRunController final
{
public:
    PeriodicRunController(const SettingsStore& settings, MainView& view, const Clock& clock,
                          ActivityLog& log, Configuration& config, BackupPass& pass);
    Q_DISABLE_COPY_MOVE(PeriodicRunController)

    // The schedule periodic runs follow: the one of the settings, which
    // cannot change while periodic runs are active.
    const TSchedule& schedule() const;
    bool isActive() const { return m_active; }
    // When the last scheduled pass fell due, and when the next one does.
    LocalDateTime lastRun() const { return m_lastRun; }
    LocalDateTime nextRun() const { return m_nextRun; }
    // Periodic runs were on at the last save: start-up resumes them.
    bool resumesAtStart() const { return m_resumeAtStart; }
    // What the configuration file remembers.
    void restoreLastRun(LocalDateTime lastRun) { m_lastRun = lastRun; }
    void setResumesAtStart(bool resume) { m_resumeAtStart = resume; }
    // Enables the weekday list exactly while it can matter.
    void showWeekdaysEnabled();
    void ActionRun(bool interactive);
    void ActionStop();
    // One tick of the schedule timer.
    void TimerScheduleTimer();

    void NavButtonRunClick();
    void MenuRunPeriodicClick();

    // "Next run: 27.03.2026 14:05, time remaining: 2 days, 03:15".
    static QString RemainingTimeText(LocalDateTime next, LocalDateTime now);

private:
    void setRunControls(bool active);
    // True when there are rules; otherwise tells the user to add some.
    bool checkRulesForClick();
    void logNextRun();
    // What follows a scheduled pass, or its refusal: the next run.
    void scheduledPassEnded();

    const SettingsStore& m_settings;
    MainView& m_view;
    const Clock& m_clock;
    ActivityLog& m_log;
    Configuration& m_config;
    BackupPass& m_pass;
    bool m_active = false;
    bool m_resumeAtStart = false;
    LocalDateTime m_lastRun;
    LocalDateTime m_nextRun;
    // A tick's due steps are not over: its scheduled pass runs.
    bool m_scheduledPassRunning = false;
};

} // namespace tessaro
