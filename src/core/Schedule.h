#pragma once

#include "core/LocalDateTime.h"

#include <QString>

#include <array>
#include <functional>

namespace tessaro {

// The periodic schedule: start time, repeat period and the weekdays on which
// a run may fall (bit 0 Monday ... bit 6 Sunday; 0 means every day).
struct TSchedule
{
    int StartTimeHour = 12;
    int StartTimeMinute = 0;
    int PeriodHours = 4;
    quint8 Weekdays = 0x7F;

    // The weekday bits as flags, Monday first.
    std::array<bool, 7> weekdays() const;
    void setWeekdays(const std::array<bool, 7>& days);

    friend bool operator==(const TSchedule&, const TSchedule&) = default;

    // The next run after nowTime, counting in missedPeriods every candidate
    // at or before nowTime. Runs are aligned to lastTime while fewer than 100
    // periods have passed, otherwise to the start time of today, at least
    // half a period (at most 12 hours) ahead.
    LocalDateTime NextTime(LocalDateTime lastTime, LocalDateTime nowTime, int& missedPeriods) const;
};

// Shows a failed self-check case to the user.
using ScheduleCheckReport = std::function<void(const QString& message)>;

// One schedule of the start-up self-check and its cases.
class TTableTest final
{
public:
    TTableTest(int startHour, int startMinute, int period, quint8 weekdays,
               ScheduleCheckReport report);

    // Checks one case; the times are ISO 8601 texts without zone. Returns
    // whether the case held; a failing case is reported.
    bool Test(const QString& lastTime, const QString& nowTime, const QString& nextTime,
              int missedPeriods) const;

    TSchedule Sched;

private:
    ScheduleCheckReport m_report;
};

// Runs the sixteen fixed cases of the schedule rule, reporting each that
// fails. Returns the number of failed cases.
int RunScheduleSelfCheck(const ScheduleCheckReport& report);

// A wall-clock value as the self-check's failure message writes it:
// 2026-01-01T16:00:00.000Z, the wall clock unchanged.
QString SelfCheckIso(LocalDateTime value);

} // namespace tessaro
