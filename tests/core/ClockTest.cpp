// The date texts of the clock and its millisecond arithmetic.
#include "core/Clock.h"

#include <gtest/gtest.h>

namespace kinemo {

TEST(Clock, TheDateTimeShowsTheHourWithoutALeadingZero) {
    EXPECT_EQ(dateTimeText({2026, 12, 6, 9, 5, 7}), "2026/12/06 9:05:07");
}

TEST(Clock, ElapsedTimeIsRightAcrossTheWrapOfTheMillisecondClock) {
    const struct { std::uint32_t from, to; } cases[] = {{0x7FFFFFF0u, 0x80000010u}, {0xFFFFFFF0u, 0x10u}};
    for (const auto& k : cases) EXPECT_EQ(elapsedMs(k.from, k.to), 0x20u) << "from " << k.from;
}

}  // namespace kinemo
