#include "app/PeriodicRunController.h"

#include <optional>

namespace tessaro {

namespace {

const QString periodicRunCaption = QStringLiteral("Periodic run");

// Hours and minutes of the time-of-day part of a duration.
QString hoursAndMinutes(qint64 ms)
{
    return LocalDateTime::fromMilliseconds(ms % LocalDateTime::MsPerDay).format(u"hh:MM");
}

} // namespace

PeriodicRunController::PeriodicRunController(const SettingsStore& settings, MainView& view,
                                             const Clock& clock, ActivityLog& log,
                                             Configuration& config, BackupPass& pass)
    : m_settings(settings), m_view(view), m_clock(clock), m_log(log), m_config(config), m_pass(pass)
{}

const TSchedule& PeriodicRunController::schedule() const
{
    return m_settings.settings().Schedule;
}

void PeriodicRunController::setRunControls(bool active)
{
    m_view.setControlText(Control::MenuRunPeriodic, active ? QStringLiteral("Stop &Periodic Run")
                                                           : QStringLiteral("&Run Periodic"));
    for (Control control : {Control::NavButtonRun, Control::ButtonRun, Control::ButtonRunOnSchedule,
                            Control::EditStartTime, Control::ComboRepeat, Control::CheckWeekdays}) {
        m_view.setControlEnabled(control, !active);
    }
    for (Control control :
         {Control::NavButtonStop, Control::ButtonStop, Control::ButtonStopOnSchedule}) {
        m_view.setControlEnabled(control, active);
    }
    m_active = active;
}

void PeriodicRunController::showWeekdaysEnabled()
{
    // Weekdays only matter while a period fits within one day, and the
    // schedule in effect cannot change while periodic runs are active.
    m_view.setControlEnabled(Control::CheckWeekdays, !m_active && schedule().PeriodHours <= 24);
}

void PeriodicRunController::ActionRun(bool interactive)
{
    const QString noRules = QStringLiteral("No backup rules present. Aborting.");
    if (m_settings.rules().Count() == 0) {
        m_log.LogWarn(noRules);
        if (interactive)
            m_view.showMessage(noRules, periodicRunCaption, MessageButtons::Ok);
        return;
    }
    setRunControls(true);
    m_log.LogInfo(QStringLiteral("begin periodic run"));

    const LocalDateTime now = m_clock.now();
    // A clock that was wrong once (a flat battery, a bad time server) must
    // not stop the schedule until it reaches that day again.
    if (m_lastRun > now) {
        m_log.LogWarn(QLatin1String("last scheduled backup ") +
                      m_lastRun.format(u"yyyy.mm.dd hh:nn") +
                      QLatin1String(" is later than now; the schedule counts from now"));
        m_lastRun = now;
    }
    int missed = 0;
    m_nextRun = schedule().NextTime(m_lastRun, now, missed);

    const bool missedAPeriod =
        !m_pass.lastBackupTime().isNever() &&
        LocalDateTime::hoursBetween(now, m_pass.lastBackupTime()) > schedule().PeriodHours;
    if (missedAPeriod) {
        const bool catchUp =
            !interactive ||
            m_view.showMessage(QStringLiteral("Do you want to run a backup right now?"),
                               periodicRunCaption, MessageButtons::YesNo) == MessageAnswer::Yes;
        if (catchUp) {
            m_log.LogInfo(QStringLiteral("missed at least one period. trying to catch up..."));
            const BackupPass::TriggerScope trigger(m_pass, PassTrigger::Schedule);
            m_pass.BackUpOnceNow([this] { logNextRun(); });
            return;
        }
    }
    logNextRun();
}

void PeriodicRunController::ActionStop()
{
    if (m_active)
        m_log.LogInfo(QStringLiteral("end periodic run"));
    setRunControls(false);
}

QString PeriodicRunController::RemainingTimeText(LocalDateTime next, LocalDateTime now)
{
    const qint64 remaining = next.milliseconds() - now.milliseconds();
    // The schedule timer asks every second, and the text changes once a
    // minute: it shows whole minutes of the remaining time, cut toward zero
    // on both sides of the due time. One kept text per thread.
    struct Kept
    {
        qint64 next = 0;
        qint64 minutes = 0;
        QString text;
    };
    thread_local std::optional<Kept> kept;
    const qint64 minutes = remaining / LocalDateTime::MsPerMinute;
    const qint64 key = remaining < 0 ? minutes - 1 : minutes;
    if (kept && kept->next == next.milliseconds() && kept->minutes == key)
        return kept->text;
    QString text = QLatin1String("Next run: ") + next.format(u"dd.mm.yyyy hh:MM") +
                   QLatin1String(", time remaining: ");
    if (remaining >= LocalDateTime::MsPerDay)
        text += QString::number(remaining / LocalDateTime::MsPerDay) + QLatin1String(" days, ");
    text += hoursAndMinutes(qAbs(remaining));
    kept = Kept{next.milliseconds(), key, text};
    return text;
}

void PeriodicRunController::TimerScheduleTimer()
{
    if (!m_active) {
        m_view.setControlText(Control::LabelScheduleInfo,
                              QStringLiteral("Periodic run is inactive"));
        if (!m_pass.isRunning())
            m_view.setStatusText(QString());
        return;
    }
    // One reading of the clock a tick: a reading costs more than the rest
    // of an idle tick.
    const LocalDateTime now = m_clock.now();
    const QString remaining = RemainingTimeText(m_nextRun, now);
    m_view.setControlText(Control::LabelScheduleInfo,
                          QLatin1String("Periodic run is active. ") + remaining);
    if (!m_pass.isRunning())
        m_view.setStatusText(QLatin1String("   Periodic run. ") + remaining);

    if (m_scheduledPassRunning || !(now > m_nextRun))
        return;
    m_lastRun = m_nextRun;
    m_config.SaveConfig();
    if (m_settings.rules().Count() == 0) {
        m_log.LogWarn(QStringLiteral("No backup rules present. Aborting"));
        return;
    }
    m_log.LogInfo(QStringLiteral("starting backup per schedule"));
    // Ticks go on while the pass waits for the archiver. They refresh the
    // texts above; the due steps belong to this tick alone until the pass
    // is over, since another round would only log a refused pass and a
    // second next run.
    m_scheduledPassRunning = true;
    const BackupPass::TriggerScope trigger(m_pass, PassTrigger::Schedule);
    if (!m_pass.RunBackup([this] { scheduledPassEnded(); }))
        scheduledPassEnded();
}

void PeriodicRunController::scheduledPassEnded()
{
    m_scheduledPassRunning = false;
    int missed = 0;
    m_nextRun = schedule().NextTime(m_lastRun, m_clock.now(), missed);
    logNextRun();
}

void PeriodicRunController::logNextRun()
{
    m_log.LogInfo(QLatin1String("next scheduled backup: ") + m_nextRun.format(u"yyyy.mm.dd hh:nn"));
}

bool PeriodicRunController::checkRulesForClick()
{
    if (m_settings.rules().Count() > 0)
        return true;
    m_view.showMessage(QStringLiteral("Please add some backup rules first"),
                       QStringLiteral("Backup Once (Now)"), MessageButtons::Ok);
    return false;
}

void PeriodicRunController::NavButtonRunClick()
{
    if (checkRulesForClick())
        ActionRun(true);
}

void PeriodicRunController::MenuRunPeriodicClick()
{
    if (m_active)
        ActionStop();
    else
        NavButtonRunClick();
}

} // namespace tessaro
