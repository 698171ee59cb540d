#include "app/PeriodicRunController.h"

#include <QScopedValueRollback>

namespace tessaro {

namespace {

const QString periodicRunCaption = QStringLiteral("Periodic run");

// Hours and minutes of the time-of-day part of a duration.
QString hoursAndMinutes(qint64 ms)
{
    return LocalDateTime::fromMilliseconds(ms % LocalDateTime::MsPerDay).format(u"hh:MM");
}

} // namespace

PeriodicRunController::PeriodicRunController(MainWindowState& state, MainView& view,
                                             const Clock& clock, ActivityLog& log,
                                             ConfigFile& config, BackupPass& pass)
    : m_state(state), m_view(view), m_clock(clock), m_log(log), m_config(config), m_pass(pass)
{}

const TSchedule& PeriodicRunController::schedule() const
{
    return m_state.Settings.Schedule;
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
    m_state.PeriodicRunActive = active;
}

void PeriodicRunController::ActionRun(bool interactive)
{
    const QString noRules = QStringLiteral("No backup rules present. Aborting.");
    if (m_state.Rules.Count() == 0) {
        m_log.LogWarn(noRules);
        if (interactive)
            m_view.showMessage(noRules, periodicRunCaption, MessageButtons::Ok);
        return;
    }
    setRunControls(true);
    m_log.LogInfo(QStringLiteral("begin periodic run"));

    const LocalDateTime now = m_clock.now();
    int missed = 0;
    m_state.NextScheduleRun = schedule().NextTime(m_state.LastScheduleRun, now, missed);

    const bool missedAPeriod =
        !m_state.LastBackupTime.isNever() &&
        LocalDateTime::hoursBetween(now, m_state.LastBackupTime) > schedule().PeriodHours;
    if (missedAPeriod) {
        const bool catchUp =
            !interactive ||
            m_view.showMessage(QStringLiteral("Do you want to run a backup right now?"),
                               periodicRunCaption, MessageButtons::YesNo) == MessageAnswer::Yes;
        if (catchUp) {
            m_log.LogInfo(QStringLiteral("missed at least one period. trying to catch up..."));
            const BackupPass::TriggerScope trigger(m_pass, PassTrigger::Schedule);
            m_pass.BackUpOnceNow();
        }
    }
    logNextRun();
}

void PeriodicRunController::ActionStop()
{
    if (m_state.PeriodicRunActive)
        m_log.LogInfo(QStringLiteral("end periodic run"));
    setRunControls(false);
}

QString PeriodicRunController::RemainingTimeText(LocalDateTime next, LocalDateTime now)
{
    const qint64 remaining = next.milliseconds() - now.milliseconds();
    QString text = QLatin1String("Next run: ") + next.format(u"dd.mm.yyyy hh:MM") +
                   QLatin1String(", time remaining: ");
    if (remaining >= LocalDateTime::MsPerDay)
        text += QString::number(remaining / LocalDateTime::MsPerDay) + QLatin1String(" days, ");
    return text + hoursAndMinutes(qAbs(remaining));
}

void PeriodicRunController::TimerScheduleTimer()
{
    if (!m_state.PeriodicRunActive) {
        m_view.setControlText(Control::LabelScheduleInfo,
                              QStringLiteral("Periodic run is inactive"));
        if (!m_state.IsRunning)
            m_view.setStatusText(QString());
        return;
    }
    const QString remaining = RemainingTimeText(m_state.NextScheduleRun, m_clock.now());
    m_view.setControlText(Control::LabelScheduleInfo,
                          QLatin1String("Periodic run is active. ") + remaining);
    if (!m_state.IsRunning)
        m_view.setStatusText(QLatin1String("   Periodic run. ") + remaining);

    if (m_scheduledPassRunning || !(m_clock.now() > m_state.NextScheduleRun))
        return;
    // Ticks go on while the pass waits for the archiver. They refresh the
    // texts above; the due steps belong to this tick alone, since another
    // round would only log a refused pass and a second next run.
    const QScopedValueRollback<bool> scheduledPass(m_scheduledPassRunning, true);
    m_state.LastScheduleRun = m_state.NextScheduleRun;
    m_config.SaveConfig();
    if (m_state.Rules.Count() == 0) {
        m_log.LogWarn(QStringLiteral("No backup rules present. Aborting"));
        return;
    }
    m_log.LogInfo(QStringLiteral("starting backup per schedule"));
    {
        const BackupPass::TriggerScope trigger(m_pass, PassTrigger::Schedule);
        m_pass.RunBackup();
    }
    int missed = 0;
    m_state.NextScheduleRun = schedule().NextTime(m_state.LastScheduleRun, m_clock.now(), missed);
    logNextRun();
}

void PeriodicRunController::logNextRun()
{
    m_log.LogInfo(QLatin1String("next scheduled backup: ") +
                  m_state.NextScheduleRun.format(u"yyyy.mm.dd hh:nn"));
}

bool PeriodicRunController::checkRulesForClick()
{
    if (m_state.Rules.Count() > 0)
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
    if (m_state.PeriodicRunActive)
        ActionStop();
    else
        NavButtonRunClick();
}

} // namespace tessaro
