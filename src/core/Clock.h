#pragma once

#include "core/LocalDateTime.h"

namespace tessaro {

// Where the program reads "now" from. The running program uses the system
// clock; tests hand in a clock they set.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    LocalDateTime now() const override;
};

} // namespace tessaro
