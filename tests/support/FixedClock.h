#pragma once

#include "core/Clock.h"

namespace tessaro::test {

// A clock that shows whatever the test sets.
class FixedClock final : public Clock
{
public:
    explicit FixedClock(LocalDateTime now = {}) : m_now(now) {}
    LocalDateTime now() const override { return m_now; }
    void set(LocalDateTime now) { m_now = now; }
    void advanceMinutes(qint64 minutes) { m_now = m_now.addMinutes(minutes); }

private:
    LocalDateTime m_now;
};

} // namespace tessaro::test
