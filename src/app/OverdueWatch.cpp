#include "app/OverdueWatch.h"

#include <algorithm>

namespace tessaro {

using namespace Qt::StringLiterals;

OverdueWatch::OverdueWatch(const SettingsStore& settings, const PeriodicRunController& periodic,
                           const BackupPass& pass, const Clock& clock, ActivityLog& log,
                           PassAlerts& alerts)
    : m_settings(settings), m_periodic(periodic), m_pass(pass), m_clock(clock), m_log(log),
      m_alerts(alerts)
{}

void OverdueWatch::passEnded(const PassRecord& record)
{
    if (record.errors() != 0)
        return;
    m_lastGoodPass = record.end;
    m_warned = false;
}

QString OverdueWatch::warningText(int hours, LocalDateTime since)
{
    return u"backup: overdue, no pass without errors has ended for more than %1 hours (since "_s
               .arg(hours) +
           since.format(u"dd.mm.yyyy hh:MM") + u")"_s;
}

void OverdueWatch::tick()
{
    const LocalDateTime now = m_clock.now();
    if (!m_periodic.isActive()) {
        m_activeSince = LocalDateTime();
        m_warned = false;
        return;
    }
    if (m_activeSince.isNever())
        m_activeSince = now;
    if (!m_settings.settings().WarnWhenOverdue || m_warned)
        return;

    // The same guard as the schedule: a period it cannot use counts as 4 hours.
    const int hours = m_settings.settings().Schedule.PeriodHours;
    const int period = hours > 0 ? hours : 4;
    const qint64 limit = period * LocalDateTime::MsPerHour * 3 / 2;
    const LocalDateTime since = std::max(m_lastGoodPass, m_activeSince);
    if (now.milliseconds() - since.milliseconds() <= limit)
        return;

    m_warned = true;
    const QString text = warningText(int(limit / LocalDateTime::MsPerHour), since);
    m_log.LogWarn(text);
    // A pass running now sends the line with its own webhook call already.
    if (!m_pass.isRunning())
        m_log.carryLastLineOver();
    m_alerts.notify(u"Tessaro: backup overdue"_s, text);
}

} // namespace tessaro
