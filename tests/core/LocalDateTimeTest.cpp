#include "core/LocalDateTime.h"

#include "QtPrinters.h"

#include <QTimeZone>

#include <ctime>
#include <gtest/gtest.h>

namespace tessaro {
namespace {

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

TEST(LocalDateTime, DayCountStartsAt1899December30)
{
    EXPECT_TRUE(LocalDateTime().isNever());
    EXPECT_EQ(LocalDateTime::fromParts(1899, 12, 30).milliseconds(), 0);
    EXPECT_EQ(LocalDateTime::fromParts(1899, 12, 30).date(), QDate(1899, 12, 30));
    EXPECT_EQ(LocalDateTime::fromParts(1899, 12, 31, 6).milliseconds(),
              LocalDateTime::MsPerDay + 6 * LocalDateTime::MsPerHour);
    // 2026-03-27 is day 46108 of the wall clock.
    EXPECT_EQ(LocalDateTime::fromParts(2026, 3, 27).milliseconds(),
              46108 * LocalDateTime::MsPerDay);
    const LocalDateTime before = LocalDateTime::fromParts(1899, 12, 29, 18);
    EXPECT_EQ(before.date(), QDate(1899, 12, 29));
    EXPECT_EQ(before.hour(), 18);
}

TEST(LocalDateTime, FieldsRoundTrip)
{
    const LocalDateTime t = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9, 123);
    EXPECT_EQ(t.year(), 2026);
    EXPECT_EQ(t.month(), 3);
    EXPECT_EQ(t.day(), 27);
    EXPECT_EQ(t.hour(), 14);
    EXPECT_EQ(t.minute(), 5);
    EXPECT_EQ(t.second(), 9);
    EXPECT_EQ(t.msec(), 123);
    EXPECT_EQ(t.isoWeekday(), 5); // a Friday
    EXPECT_TRUE(LocalDateTime::fromParts(2026, 2, 30).isNever());
}

TEST(LocalDateTime, MinuteArithmeticIsExactOnTheWallClock)
{
    // The last Sunday of March: a daylight saving change in much of Europe.
    const LocalDateTime t = LocalDateTime::fromParts(2026, 3, 29, 1, 30);
    EXPECT_EQ(t.addMinutes(60), LocalDateTime::fromParts(2026, 3, 29, 2, 30));
    EXPECT_EQ(t.addMinutes(24 * 60 * 7).isoWeekday(), t.isoWeekday());
    const LocalDateTime later = t.addMilliseconds(2 * LocalDateTime::MsPerHour - 1);
    EXPECT_EQ(LocalDateTime::hoursBetween(t, later), 1);
    EXPECT_EQ(LocalDateTime::hoursBetween(later, t), 1);
    EXPECT_EQ(LocalDateTime::minutesBetween(t, later), 119);
    EXPECT_EQ(LocalDateTime::secondsBetween(t, later), 7199);
}

TEST(LocalDateTime, ProgramPatterns)
{
    const LocalDateTime t = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);
    const struct
    {
        const char* pattern;
        QChar separator;
        const char* expected;
    } cases[] = {
        {"dd.mm.yyyy hh:MM", QLatin1Char(':'), "27.03.2026 14:05"},
        {"dd.mm.yyyy hh:MM:ss", QLatin1Char(':'), "27.03.2026 14:05:09"},
        {"yyyy.mm.dd hh:nn", QLatin1Char(':'), "2026.03.27 14:05"},
        {"yymm", QLatin1Char(':'), "2603"},
        {"hh:mm", QLatin1Char('.'), "14.05"},
        {"hhmm", QLatin1Char(':'), "1405"},
        {"mm", QLatin1Char(':'), "03"},
        {"dd.mm.yyyy hh:MM:ss", QLatin1Char('.'), "27.03.2026 14.05.09"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(t.format(s(c.pattern), c.separator), s(c.expected)) << c.pattern;
}

TEST(LocalDateTime, IsoTextCarriesTheLocalOffset)
{
    const LocalDateTime t = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9, 123);
    const QString text = t.toIso8601();
    ASSERT_TRUE(text.startsWith(s("2026-03-27T14:05:09.123"))) << text.toStdString();
    const int offset = t.toLocalQDateTime().offsetFromUtc();
    if (offset == 0)
        EXPECT_EQ(text.mid(23), s("Z"));
    else
        EXPECT_EQ(text.size(), 29);
    bool ok = false;
    EXPECT_EQ(LocalDateTime::fromIso8601(text, &ok), t);
    EXPECT_TRUE(ok);
}

TEST(LocalDateTime, IsoTextFromAnotherZoneIsConvertedToLocalTime)
{
    const LocalDateTime fromUtc = LocalDateTime::fromIso8601(s("2026-03-27T12:00:00.000Z"));
    const QDateTime expected =
        QDateTime(QDate(2026, 3, 27), QTime(12, 0), QTimeZone::utc()).toLocalTime();
    EXPECT_EQ(fromUtc, LocalDateTime::fromQDateTime(expected));
}

TEST(LocalDateTime, UnreadableIsoTextIsNever)
{
    for (const char* text : {"", "yesterday", "2026-13-01T00:00:00", "27.03.2026 14:05"}) {
        bool ok = true;
        EXPECT_TRUE(LocalDateTime::fromIso8601(s(text), &ok).isNever()) << text;
        EXPECT_FALSE(ok) << text;
    }
}

#ifndef Q_OS_WIN
// The process's local time zone, set through TZ for one scope.
class ScopedLocalZone final
{
public:
    explicit ScopedLocalZone(const char* zone)
        : m_hadZone(qEnvironmentVariableIsSet("TZ")), m_oldZone(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ScopedLocalZone()
    {
        if (m_hadZone)
            qputenv("TZ", m_oldZone);
        else
            qunsetenv("TZ");
        tzset();
    }
    ScopedLocalZone(const ScopedLocalZone&) = delete;
    ScopedLocalZone& operator=(const ScopedLocalZone&) = delete;

private:
    bool m_hadZone;
    QByteArray m_oldZone;
};

// In 1899 most zones kept local mean time, whose offset has seconds; the
// text holds whole minutes only, yet what was written reads back unchanged.
TEST(LocalDateTime, IsoTextRoundTripsWhenTheOffsetHasSeconds)
{
    struct Case
    {
        const char* zone;
        const char* never;
        // 1899-12-30 00:00 UTC on the local wall clock.
        LocalDateTime utcMidnight;
    };
    const Case cases[] = {
        {"Asia/Kolkata", "1899-12-30T00:00:00.000+05:21",
         LocalDateTime::fromParts(1899, 12, 30, 5, 21, 10)},
        {"Europe/Paris", "1899-12-30T00:00:00.000+00:09",
         LocalDateTime::fromParts(1899, 12, 30, 0, 9, 21)},
        {"America/Sao_Paulo", "1899-12-30T00:00:00.000-03:06",
         LocalDateTime::fromParts(1899, 12, 29, 20, 53, 32)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        const ScopedLocalZone zone(c.zone);
        EXPECT_EQ(LocalDateTime().toIso8601(), s(c.never));
        bool ok = false;
        EXPECT_TRUE(LocalDateTime::fromIso8601(s(c.never), &ok).isNever());
        EXPECT_TRUE(ok);
        const LocalDateTime noon = LocalDateTime::fromParts(1900, 6, 1, 12, 30, 15, 250);
        EXPECT_EQ(LocalDateTime::fromIso8601(noon.toIso8601()), noon)
            << noon.toIso8601().toStdString();
        // A text with another offset is still converted exactly.
        EXPECT_EQ(LocalDateTime::fromIso8601(s("1899-12-30T00:00:00.000Z")), c.utcMidnight);
    }
}
#endif

} // namespace
} // namespace tessaro
