#include "core/TimestampFormatter.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace tessaro {
namespace {

QChar dot()
{
    return QLatin1Char('.');
}

QChar colon()
{
    return QLatin1Char(':');
}

// Times in the order a log meets them: lines within a second and within a
// minute, across the turn of a minute, a day, a month and a year, and the
// clock set back and forward again.
QList<LocalDateTime> timesInTurn()
{
    QList<LocalDateTime> times;
    const LocalDateTime start = LocalDateTime::fromParts(2026, 12, 31, 23, 58, 57, 500);
    for (int i = 0; i < 200; ++i)
        times.append(start.addMilliseconds(i * 700));
    times.append(start);
    times.append(start.addMilliseconds(-LocalDateTime::MsPerMinute));
    times.append(start.addMilliseconds(LocalDateTime::MsPerHour));
    times.append(LocalDateTime::fromParts(987, 6, 5, 4, 3, 2));
    times.append(LocalDateTime::fromParts(987, 6, 5, 4, 3, 59));
    times.append(LocalDateTime::fromParts(1899, 12, 29, 23, 59, 30));
    times.append(LocalDateTime::fromParts(1899, 12, 29, 23, 59, 31));
    times.append(LocalDateTime::fromParts(12026, 1, 2, 3, 4, 5));
    times.append(start);
    return times;
}

TEST(TimestampFormatter, GivesTheTextOfFormatForEveryTimeInTurn)
{
    const struct
    {
        const char16_t* pattern;
        TimestampFormatter::SeparatorSource separator;
    } cases[] = {
        {u"dd.mm.yyyy hh:MM:ss", &colon},
        {u"dd.mm.yyyy hh:MM:ss", &dot},
        {u"yymm", &colon},
        {u"ss hh:ss", &colon},
        {u"yyyy.mm.dd hh:nn", &colon},
    };
    const QList<LocalDateTime> times = timesInTurn();
    for (const auto& c : cases) {
        TimestampFormatter formatter(c.pattern, c.separator);
        for (const LocalDateTime& time : times) {
            const QString expected = time.format(c.pattern, c.separator());
            ASSERT_EQ(formatter.format(time), expected)
                << QString::fromUtf16(c.pattern).toStdString() << " at " << time.milliseconds();
        }
    }
}

TEST(TimestampFormatter, AKeptTextIsNotChangedByLaterOnes)
{
    TimestampFormatter formatter(u"hh:MM:ss", &colon);
    const LocalDateTime t = LocalDateTime::fromParts(2026, 3, 27, 14, 5, 9);
    const QString first = formatter.format(t);
    const QString second = formatter.format(t.addMilliseconds(LocalDateTime::MsPerSecond));
    EXPECT_EQ(first, QStringLiteral("14:05:09"));
    EXPECT_EQ(second, QStringLiteral("14:05:10"));
}

} // namespace
} // namespace tessaro
