#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <compare>

namespace tessaro {

// A local wall-clock date and time with millisecond resolution and no time
// zone: milliseconds since 1899-12-30 00:00 on the wall clock. The value 0
// means "never". Arithmetic is exact integer arithmetic on the wall clock,
// so adding 60 minutes always moves the hour hand by one, even across a
// daylight saving change.
class LocalDateTime
{
public:
    static constexpr qint64 MsPerSecond = 1000;
    static constexpr qint64 MsPerMinute = 60 * MsPerSecond;
    static constexpr qint64 MsPerHour = 60 * MsPerMinute;
    static constexpr qint64 MsPerDay = 24 * MsPerHour;

    constexpr LocalDateTime() = default;

    static constexpr LocalDateTime fromMilliseconds(qint64 ms) { return LocalDateTime(ms); }
    // An invalid date or time gives the never-value.
    static LocalDateTime fromDateAndTime(QDate date, QTime time);
    static LocalDateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                   int second = 0, int msec = 0);
    // Converts any QDateTime to the local wall clock.
    static LocalDateTime fromQDateTime(const QDateTime& dateTime);

    constexpr qint64 milliseconds() const { return m_ms; }
    constexpr bool isNever() const { return m_ms == 0; }

    QDate date() const;
    QTime time() const;
    int year() const { return date().year(); }
    int month() const { return date().month(); }
    int day() const { return date().day(); }
    int hour() const { return time().hour(); }
    int minute() const { return time().minute(); }
    int second() const { return time().second(); }
    int msec() const { return time().msec(); }
    // 1 = Monday ... 7 = Sunday.
    int isoWeekday() const { return date().dayOfWeek(); }

    // The same wall-clock reading as a QDateTime in the local time zone.
    QDateTime toLocalQDateTime() const;

    constexpr LocalDateTime addMilliseconds(qint64 ms) const { return LocalDateTime(m_ms + ms); }
    constexpr LocalDateTime addMinutes(qint64 minutes) const
    {
        return addMilliseconds(minutes * MsPerMinute);
    }
    constexpr LocalDateTime addHours(qint64 hours) const
    {
        return addMilliseconds(hours * MsPerHour);
    }

    // Absolute differences, truncated to whole units.
    static qint64 secondsBetween(LocalDateTime a, LocalDateTime b);
    static qint64 minutesBetween(LocalDateTime a, LocalDateTime b);
    static qint64 hoursBetween(LocalDateTime a, LocalDateTime b);

    // Renders the program's date patterns, read letter by letter: "dd" day,
    // "mm" month (minutes right after "hh", as is "MM"), "nn" minutes, "yy"
    // and "yyyy" year, "hh" hours of the 24-hour clock, "ss" seconds; ":"
    // stands for the time separator; every other character is literal.
    QString format(QStringView pattern, QChar timeSeparator) const;
    QString format(QStringView pattern) const { return format(pattern, systemTimeSeparator()); }

    // ISO 8601 local time with milliseconds and the local offset at that
    // moment ("Z" when it is zero): 2026-03-27T14:05:09.123+01:00.
    QString toIso8601() const;
    // Reads ISO 8601 text, applies its offset and converts to local time.
    // Empty or unparsable text gives the never-value and *ok = false.
    static LocalDateTime fromIso8601(const QString& text, bool* ok = nullptr);

    // The time separator of the user's locale; ":" where the platform has no
    // such setting.
    static QChar systemTimeSeparator();

    friend constexpr auto operator<=>(LocalDateTime, LocalDateTime) = default;

private:
    constexpr explicit LocalDateTime(qint64 ms) : m_ms(ms) {}

    qint64 m_ms = 0;
};

} // namespace tessaro
