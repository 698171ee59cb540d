#include "core/Clock.h"

namespace tessaro {

LocalDateTime SystemClock::now() const
{
    return LocalDateTime::fromQDateTime(QDateTime::currentDateTime());
}

} // namespace tessaro
