// Numbers as the readouts, the rate label and the data files show them.
#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace kinemo {
namespace {

TEST(NumberText, AccelerationShowsInGRoundedDownToHundredths) {
    const struct { std::uint8_t raw; const char* text; } cases[] = {
        {131, "0"}, {104, "1"}, {130, "0.03"}, {132, "-0.04"}, {0, "4.85"}, {255, "-4.6"},
    };
    for (const auto& k : cases) EXPECT_EQ(gText(k.raw), k.text) << "raw " << int(k.raw);
}

TEST(NumberText, NumbersKeepAPointUnderALocaleWithADecimalComma) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "needs the locale de_DE.UTF-8";
    const std::string single = floatText(21.0f / 20.0f);
    const std::string dbl = doubleText(20.531);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(single, "1.05");
    EXPECT_EQ(dbl, "20.531");
}

TEST(NumberText, SinglesShowSevenSignificantDigits) {
    EXPECT_EQ(floatText(21.0f / 20.0f), "1.05");
}

TEST(NumberText, NegativeZeroShowsAsZero) {
    EXPECT_EQ(doubleText(-0.0), "0");
}

TEST(NumberText, TheRateIsRoundedDownToATenthOfAHertz) {
    const struct { float period; const char* text; } cases[] = {{1.05f, "95.2 HZ"}, {0.8f, "124.9 HZ"}, {1.0f, "100 HZ"}};
    for (const auto& k : cases) EXPECT_EQ(rateText(k.period), k.text) << "period " << k.period;
}

TEST(NumberText, APeriodThatIsZeroNegativeOrNotANumberShowsNoRate) {
    for (float period : {0.0f, -1.0f, NAN}) EXPECT_EQ(rateText(period), "--- HZ") << "period " << period;
}

}  // namespace
}  // namespace kinemo
