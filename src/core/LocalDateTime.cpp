#include "core/LocalDateTime.h"

#include "core/DatePattern.h"
#include "core/SystemConventions.h"

#include <QLocale>
#include <QTimeZone>

namespace tessaro {

namespace {

// Julian day number of 1899-12-30, day 0 of the wall clock. A constant, not
// computed, so values built during static initialisation are right too.
constexpr qint64 epochJulianDay = 2415019;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The offset as the text carries it: whole minutes, cut toward zero. Most
// zones kept local mean time into the 20th century, with seconds in their
// offset (Kolkata +05:21:10 on 1899-12-30), which the text cannot hold.
int writtenOffsetSeconds(int offsetSeconds)
{
    return offsetSeconds / 60 * 60;
}

} // namespace

LocalDateTime LocalDateTime::fromDateAndTime(QDate date, QTime time)
{
    if (!date.isValid() || !time.isValid())
        return {};
    const qint64 days = date.toJulianDay() - epochJulianDay;
    return LocalDateTime(days * MsPerDay + time.msecsSinceStartOfDay());
}

LocalDateTime LocalDateTime::fromParts(int year, int month, int day, int hour, int minute,
                                       int second, int msec)
{
    return fromDateAndTime(QDate(year, month, day), QTime(hour, minute, second, msec));
}

LocalDateTime LocalDateTime::fromQDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return {};
    const QDateTime local = dateTime.toLocalTime();
    return fromDateAndTime(local.date(), local.time());
}

QDate LocalDateTime::date() const
{
    return QDate::fromJulianDay(epochJulianDay + floorDiv(m_ms, MsPerDay));
}

QTime LocalDateTime::time() const
{
    return QTime::fromMSecsSinceStartOfDay(int(m_ms - floorDiv(m_ms, MsPerDay) * MsPerDay));
}

QDateTime LocalDateTime::toLocalQDateTime() const
{
    return QDateTime(date(), time(), Qt::LocalTime);
}

qint64 LocalDateTime::secondsBetween(LocalDateTime a, LocalDateTime b)
{
    return qAbs(a.m_ms - b.m_ms) / MsPerSecond;
}

qint64 LocalDateTime::minutesBetween(LocalDateTime a, LocalDateTime b)
{
    return qAbs(a.m_ms - b.m_ms) / MsPerMinute;
}

qint64 LocalDateTime::hoursBetween(LocalDateTime a, LocalDateTime b)
{
    return qAbs(a.m_ms - b.m_ms) / MsPerHour;
}

QString LocalDateTime::format(QStringView pattern, QChar timeSeparator) const
{
    return DatePattern(pattern).render(*this, timeSeparator);
}

QString LocalDateTime::toIso8601() const
{
    const QDateTime local = toLocalQDateTime();
    const int offsetSeconds = local.isValid() ? local.offsetFromUtc() : 0;
    static const DatePattern isoPattern(u"yyyy-mm-ddThh:MM:ss");
    QString text = isoPattern.render(*this, QLatin1Char(':'));
    text += QLatin1Char('.');
    text += QStringLiteral("%1").arg(msec(), 3, 10, QLatin1Char('0'));
    if (offsetSeconds == 0)
        return text + QLatin1Char('Z');
    const int offsetMinutes = qAbs(writtenOffsetSeconds(offsetSeconds)) / 60;
    text += offsetSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    text += twoDigits(offsetMinutes / 60) + QLatin1Char(':') + twoDigits(offsetMinutes % 60);
    return text;
}

LocalDateTime LocalDateTime::fromIso8601(const QString& text, bool* ok)
{
    const QDateTime parsed = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (ok)
        *ok = parsed.isValid();
    if (!parsed.isValid())
        return {};
    // A text written here carries the local offset of its own reading cut to
    // whole minutes; applying that offset exactly would move the reading by
    // the seconds cut off, and turn never into ten seconds past it. Such a
    // text reads back as it was written.
    const LocalDateTime asWritten = fromDateAndTime(parsed.date(), parsed.time());
    const QDateTime local = asWritten.toLocalQDateTime();
    if (local.isValid() && parsed.offsetFromUtc() == writtenOffsetSeconds(local.offsetFromUtc()))
        return asWritten;
    return fromQDateTime(parsed);
}

QChar LocalDateTime::systemTimeSeparator()
{
    return tessaro::systemTimeSeparator();
}

} // namespace tessaro
