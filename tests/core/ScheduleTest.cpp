#include "core/Schedule.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

LocalDateTime at(const char* iso)
{
    const QDateTime parsed = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    return LocalDateTime::fromDateAndTime(parsed.date(), parsed.time());
}

struct NextTimeCase
{
    const char* name;
    TSchedule schedule;
    const char* last;
    const char* now;
    const char* next;
    int missed;
};

TEST(ScheduleNextTime, Table)
{
    const TSchedule every4h{12, 0, 4, 255};
    const NextTimeCase cases[] = {
        {"last equal to now counts as passed", every4h, "2026-01-01T12:00:00",
         "2026-01-01T12:00:00", "2026-01-01T16:00:00", 1},
        {"one missed period", every4h, "2026-01-01T12:00:00", "2026-01-01T16:01:00",
         "2026-01-01T20:00:00", 2},
        {"last after now is returned itself", every4h, "2026-01-01T16:00:00", "2026-01-01T12:00:00",
         "2026-01-01T16:00:00", 0},
        {"phase 2 after a long pause", every4h, "2025-01-01T12:00:00", "2026-01-02T00:01:00",
         "2026-01-02T12:00:00", 100},
        {"phase 2 never before today's start time", every4h, "1899-12-30T00:00:00",
         "2026-01-02T04:00:00", "2026-01-02T12:00:00", 100},
        {"phase 2 accepts exactly H ahead", every4h, "2025-01-01T12:00:00", "2026-01-02T10:00:00",
         "2026-01-02T12:00:00", 100},
        {"phase 2 rejects H minus one minute", every4h, "2025-01-01T12:00:00",
         "2026-01-02T10:01:00", "2026-01-02T16:00:00", 100},
        {"daily: H is 720 minutes", TSchedule{16, 0, 24, 255}, "1899-12-30T00:00:00",
         "2026-01-01T05:00:00", "2026-01-02T16:00:00", 100},
        {"weekdays 0 is every day", TSchedule{16, 0, 24, 0}, "2026-03-09T16:00:00",
         "2026-03-09T17:00:00", "2026-03-10T16:00:00", 1},
        {"weekday filter skips uncounted", TSchedule{16, 0, 24, 2}, "2026-03-09T16:00:00",
         "2026-03-11T17:00:00", "2026-03-17T16:00:00", 3},
        {"periods above a day ignore weekdays", TSchedule{16, 0, 48, 2}, "2026-03-09T16:00:00",
         "2026-03-09T17:00:00", "2026-03-11T16:00:00", 1},
        {"two weeks", TSchedule{3, 30, 336, 255}, "2026-03-01T03:30:00", "2026-03-10T00:00:00",
         "2026-03-15T03:30:00", 1},
        {"guard: period 0 acts as 4 hours", TSchedule{12, 0, 0, 255}, "2026-01-01T12:00:00",
         "2026-01-01T12:00:00", "2026-01-01T16:00:00", 1},
        {"guard: negative period acts as 4 hours", TSchedule{12, 0, -24, 255},
         "2026-01-01T12:00:00", "2026-01-01T13:00:00", "2026-01-01T16:00:00", 1},
        {"guard: only bit 7 acts as every day", TSchedule{12, 0, 4, 128}, "2026-01-01T12:00:00",
         "2026-01-01T12:00:00", "2026-01-01T16:00:00", 1},
    };
    for (const auto& c : cases) {
        int missed = -1;
        EXPECT_EQ(c.schedule.NextTime(at(c.last), at(c.now), missed), at(c.next)) << c.name;
        EXPECT_EQ(missed, c.missed) << c.name;
    }
}

TEST(ScheduleNextTime, MinuteArithmeticIgnoresDaylightSaving)
{
    // Europe moves its clocks on 2026-03-29; the wall clock does not care.
    const TSchedule schedule{0, 0, 4, 255};
    int missed = 0;
    EXPECT_EQ(schedule.NextTime(at("2026-03-29T00:00:00"), at("2026-03-29T01:00:00"), missed),
              at("2026-03-29T04:00:00"));
}

TEST(ScheduleSelfCheck, AllSixteenCasesHold)
{
    QStringList reports;
    EXPECT_EQ(RunScheduleSelfCheck([&](const QString& m) { reports.append(m); }), 0);
    EXPECT_TRUE(reports.isEmpty()) << reports.join(QString()).toStdString();
}

TEST(ScheduleSelfCheck, FailureMessageNamesBothValues)
{
    QStringList reports;
    const TTableTest test(12, 0, 4, 255, [&](const QString& m) { reports.append(m); });
    EXPECT_FALSE(test.Test(QStringLiteral("2026-01-01T12:00:00"),
                           QStringLiteral("2026-01-01T12:00:00"),
                           QStringLiteral("2026-01-01T20:00:00"), 2));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports.first(), QStringLiteral("TEST FAILED:\r\n"
                                              "Last 2026-01-01T12:00:00.000Z\r\n"
                                              "Now  2026-01-01T12:00:00.000Z\r\n"
                                              "Next 2026-01-01T20:00:00.000Z <> "
                                              "2026-01-01T16:00:00.000Z\r\n"
                                              "MP 1 <> 2\r\n"));
    // Within five seconds of the expected time still holds.
    EXPECT_TRUE(test.Test(QStringLiteral("2026-01-01T12:00:00"),
                          QStringLiteral("2026-01-01T12:00:00"),
                          QStringLiteral("2026-01-01T16:00:05"), 1));
    EXPECT_EQ(reports.size(), 1);
}

} // namespace
} // namespace tessaro
