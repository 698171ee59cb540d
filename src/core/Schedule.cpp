#include "core/Schedule.h"

#include <vector>

namespace tessaro {

std::array<bool, 7> TSchedule::weekdays() const
{
    std::array<bool, 7> days{};
    for (size_t i = 0; i < days.size(); ++i)
        days[i] = (Weekdays >> i) & 1u;
    return days;
}

void TSchedule::setWeekdays(const std::array<bool, 7>& days)
{
    Weekdays = 0;
    for (size_t i = 0; i < days.size(); ++i) {
        if (days[i])
            Weekdays |= quint8(1u << i);
    }
}

namespace {

constexpr quint8 allDays = 0x7F;
// Phase 1 stops after this many candidates at or before the current time.
constexpr int phaseOneLimit = 100;

bool inWeekdays(LocalDateTime time, quint8 weekdays)
{
    return (weekdays >> (time.isoWeekday() - 1)) & 1;
}

LocalDateTime wallClockFromIso(const QString& text)
{
    const QDateTime parsed = QDateTime::fromString(text, Qt::ISODate);
    return LocalDateTime::fromDateAndTime(parsed.date(), parsed.time());
}

} // namespace

LocalDateTime TSchedule::NextTime(LocalDateTime lastTime, LocalDateTime nowTime,
                                  int& missedPeriods) const
{
    // A period of 0 or less would never advance and a set without any day
    // would never match: both would loop for ever, so they fall back to
    // the defaults instead.
    const int periodHours = PeriodHours > 0 ? PeriodHours : 4;
    const qint64 periodMinutes = qint64(periodHours) * 60;
    quint8 days = periodHours <= 24 ? quint8(Weekdays & allDays) : allDays;
    if (days == 0)
        days = allDays;

    missedPeriods = 0;
    LocalDateTime candidate = lastTime;
    while (missedPeriods < phaseOneLimit) {
        if (nowTime >= candidate)
            ++missedPeriods;
        else if (inWeekdays(candidate, days))
            return candidate;
        candidate = candidate.addMinutes(periodMinutes);
    }

    const qint64 minimumAhead = periodHours < 24 ? periodHours * 60 / 2 : 720;
    candidate = LocalDateTime::fromDateAndTime(
        nowTime.date(), QTime(qBound(0, StartTimeHour, 23), qBound(0, StartTimeMinute, 59)));
    for (;;) {
        if (nowTime >= candidate)
            ++missedPeriods;
        else if (LocalDateTime::minutesBetween(candidate, nowTime) >= minimumAhead &&
                 inWeekdays(candidate, days))
            return candidate;
        candidate = candidate.addMinutes(periodMinutes);
    }
}

TTableTest::TTableTest(int startHour, int startMinute, int period, quint8 weekdays,
                       ScheduleCheckReport report)
    : Sched{startHour, startMinute, period, weekdays}, m_report(std::move(report))
{}

bool TTableTest::Test(const QString& lastTime, const QString& nowTime, const QString& nextTime,
                      int missedPeriods) const
{
    const LocalDateTime last = wallClockFromIso(lastTime);
    const LocalDateTime now = wallClockFromIso(nowTime);
    const LocalDateTime expected = wallClockFromIso(nextTime);
    int computedMissed = 0;
    const LocalDateTime computed = Sched.NextTime(last, now, computedMissed);
    if (LocalDateTime::secondsBetween(computed, expected) <= 5 && computedMissed == missedPeriods)
        return true;
    if (m_report) {
        const QLatin1String crlf("\r\n");
        m_report(QLatin1String("TEST FAILED:") + crlf + QLatin1String("Last ") +
                 SelfCheckIso(last) + crlf + QLatin1String("Now  ") + SelfCheckIso(now) + crlf +
                 QLatin1String("Next ") + SelfCheckIso(expected) + QLatin1String(" <> ") +
                 SelfCheckIso(computed) + crlf + QLatin1String("MP ") +
                 QString::number(computedMissed) + QLatin1String(" <> ") +
                 QString::number(missedPeriods) + crlf);
    }
    return false;
}

QString SelfCheckIso(LocalDateTime value)
{
    return value.date().toString(u"yyyy-MM-dd") + QLatin1Char('T') +
           value.time().toString(u"HH:mm:ss.zzz") + QLatin1Char('Z');
}

int RunScheduleSelfCheck(const ScheduleCheckReport& report)
{
    struct Case
    {
        const char* last;
        const char* now;
        const char* next;
        int missed;
    };
    struct Group
    {
        int hour, minute, period;
        quint8 weekdays;
        std::vector<Case> cases;
    };
    const Group groups[] = {
        {12,
         0,
         4,
         255,
         {
             {"2026-01-01T12:00:00", "2026-01-01T12:00:00", "2026-01-01T16:00:00", 1},
             {"2026-01-01T12:00:00", "2026-01-01T12:01:00", "2026-01-01T16:00:00", 1},
             {"2026-01-01T12:00:00", "2026-01-01T14:00:00", "2026-01-01T16:00:00", 1},
             {"2026-01-01T12:00:00", "2026-01-01T16:01:00", "2026-01-01T20:00:00", 2},
             {"2026-01-01T12:00:00", "2026-01-01T20:01:00", "2026-01-02T00:00:00", 3},
             {"2026-01-01T12:00:00", "2026-01-02T00:01:00", "2026-01-02T04:00:00", 4},
             {"2025-01-01T12:00:00", "2026-01-02T00:01:00", "2026-01-02T12:00:00", 100},
             {"2025-01-01T12:00:00", "2026-01-02T12:01:00", "2026-01-02T16:00:00", 101},
             {"2025-01-01T12:00:00", "2026-01-02T04:00:00", "2026-01-02T12:00:00", 100},
             {"2025-01-01T12:00:00", "2026-01-02T10:00:00", "2026-01-02T12:00:00", 100},
             {"2025-01-01T12:00:00", "2026-01-02T10:01:00", "2026-01-02T16:00:00", 100},
         }},
        {3,
         30,
         24,
         255,
         {
             {"1970-01-01T00:00:00", "2026-01-01T12:00:00", "2026-01-02T03:30:00", 101},
             {"1970-01-01T00:00:00", "2026-01-01T01:00:00", "2026-01-02T03:30:00", 100},
         }},
        {16,
         0,
         24,
         255,
         {
             {"1970-01-01T00:00:00", "2026-01-01T01:00:00", "2026-01-01T16:00:00", 100},
         }},
        {16,
         0,
         24,
         10,
         {
             {"1970-01-01T00:00:00", "2026-03-09T12:00:00", "2026-03-10T16:00:00", 100},
             {"2026-03-10T16:00:00", "2026-03-10T16:00:00", "2026-03-12T16:00:00", 1},
         }},
        {3, 30, 48, 255, {}},
    };
    int failed = 0;
    for (const Group& group : groups) {
        const TTableTest test(group.hour, group.minute, group.period, group.weekdays, report);
        for (const Case& c : group.cases) {
            if (!test.Test(QString::fromLatin1(c.last), QString::fromLatin1(c.now),
                           QString::fromLatin1(c.next), c.missed))
                ++failed;
        }
    }
    return failed;
}

} // namespace tessaro
