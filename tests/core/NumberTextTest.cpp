// Numbers as the readouts, the rate label and the data files show them.
#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kinemo {

TEST(NumberText, AccelerationShowsInGRoundedDownToHundredths) {
    const struct { std::uint8_t raw; const char* text; } cases[] = {
        {131, "0"}, {104, "1"}, {130, "0.03"}, {132, "-0.04"}, {0, "4.85"}, {255, "-4.6"},
    };
    for (const auto& k : cases) EXPECT_EQ(gText(k.raw), k.text) << "raw " << int(k.raw);
}

// 95.2 also shows that a single keeps to seven digits (it is 95.1999969).
TEST(NumberText, TheRateIsRoundedDownToATenthOfAHertz) {
    const std::pair<float, const char*> cases[] = {{1.05f, "95.2 HZ"}, {0.8f, "124.9 HZ"}, {1.0f, "100 HZ"}};
    for (auto [period, text] : cases) EXPECT_EQ(rateText(period), text) << "period " << period;
}

}  // namespace kinemo
