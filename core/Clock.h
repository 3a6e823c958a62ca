// The clocks the measurement reads: a monotonic millisecond clock, and the local date
// and time shown and saved as text. Tests substitute a fake.
#pragma once

#include <cstdint>
#include <string>

namespace kinemo {

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds of a monotonic clock; wraps around at 2^32.
    virtual std::uint32_t monotonicMs() = 0;
    virtual LocalDateTime now() = 0;
};

class SystemClock final : public Clock {
public:
    std::uint32_t monotonicMs() override;
    LocalDateTime now() override;
};

// Milliseconds from `from` to `to`, correct across the wrap of the 32-bit clock.
constexpr std::uint32_t elapsedMs(std::uint32_t from, std::uint32_t to) { return to - from; }

// The Japanese default forms, whatever the user's locale.
std::string dateTimeText(const LocalDateTime& t);  // 2026/12/06 9:05:07
std::string dateText(const LocalDateTime& t);      // 2026/12/06
std::string timeText(const LocalDateTime& t);      // 9:05:07
std::string yymmddText(const LocalDateTime& t);    // 261206

}  // namespace kinemo
