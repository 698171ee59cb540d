#include "core/Clock.h"

namespace tessaro {

namespace {

// Time zones change their offset from UTC only at whole minutes, so the
// offset found for the start of the present minute holds for all of it.
// Finding it takes the C library's time zone lookup (a file status call on
// every local time conversion); log lines and jobs read the clock several
// times a second during a pass.
struct MinuteStart
{
    qint64 utcMinute = -1;
    LocalDateTime local;
};

} // namespace

LocalDateTime SystemClock::now() const
{
    thread_local MinuteStart cached;
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = utcMs >= 0 ? utcMs / LocalDateTime::MsPerMinute : -1;
    if (minute < 0)
        return LocalDateTime::fromQDateTime(QDateTime::fromMSecsSinceEpoch(utcMs));
    if (minute != cached.utcMinute) {
        cached.utcMinute = minute;
        cached.local = LocalDateTime::fromQDateTime(
            QDateTime::fromMSecsSinceEpoch(minute * LocalDateTime::MsPerMinute));
    }
    return cached.local.addMilliseconds(utcMs - minute * LocalDateTime::MsPerMinute);
}

} // namespace tessaro
