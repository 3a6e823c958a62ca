// A clock the tests set by hand.
#pragma once

#include "core/Clock.h"

namespace kinemo::test {

class FakeClock final : public Clock {
public:
    std::uint32_t monotonicMs() override { return ms; }
    LocalDateTime now() override { return dateTime; }

    std::uint32_t ms = 1000;
    LocalDateTime dateTime{2026, 12, 6, 9, 5, 7};
};

}  // namespace kinemo::test
