#include "core/Clock.h"

#include <QByteArray>

#include <gtest/gtest.h>
#include <thread>

namespace tessaro {
namespace {

// The clock reuses the offset from UTC within a minute; read next to Qt's
// own conversion of the same moments, it never falls outside them, also in
// zones whose offset is not whole hours. Each zone is read on a thread of
// its own, as the clock keeps the minute's offset per thread.
TEST(SystemClockTest, ReadsTheLocalWallClockAsQtConvertsIt)
{
    const QByteArray saved = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    for (const char* zone : {"UTC0", ":Asia/Kathmandu", ":America/St_Johns", ":Europe/Berlin"}) {
        qputenv("TZ", zone);
        std::thread([zone] {
            const SystemClock clock;
            for (int n = 0; n < 1000; ++n) {
                const LocalDateTime before =
                    LocalDateTime::fromQDateTime(QDateTime::currentDateTime());
                const LocalDateTime now = clock.now();
                const LocalDateTime after =
                    LocalDateTime::fromQDateTime(QDateTime::currentDateTime());
                ASSERT_LE(before, now) << zone;
                ASSERT_LE(now, after) << zone;
            }
        }).join();
    }
    if (hadZone)
        qputenv("TZ", saved);
    else
        qunsetenv("TZ");
}

} // namespace
} // namespace tessaro
