#include "core/Clock.h"
#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace kinemo {
namespace {

TEST(NumberText, GValuesRoundDown) {
    const std::pair<std::uint8_t, const char*> cases[] = {{131, "0"},     {104, "1"}, {130, "0.03"},
                                                          {132, "-0.04"}, {0, "4.85"}, {255, "-4.6"}};
    for (auto [raw, text] : cases) EXPECT_EQ(gText(raw), text) << int(raw);
}

TEST(NumberText, PointAsSeparatorWhateverTheLocaleAndRatesCutToOneDecimal) {
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // a decimal-comma locale must not leak into numbers
    EXPECT_EQ(floatText(21.0f / 20.0f), "1.05");
    EXPECT_EQ(floatText(1.5625f), "1.5625");
    EXPECT_EQ(floatText(100.0f), "100");
    EXPECT_EQ(doubleText(20.531), "20.531");
    EXPECT_EQ(doubleText(-0.0), "0");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(rateText(21.0f / 20.0f), "95.2 HZ");
    EXPECT_EQ(rateText(0.8f), "124.9 HZ");
    EXPECT_EQ(rateText(0.75f), "133.3 HZ");
    for (float unusable : {0.0f, -1.0f, std::nanf("")}) EXPECT_EQ(rateText(unusable), "--- HZ");
}

TEST(Clock, JapaneseDefaultFormsAndWrapSafeElapsedTime) {
    const LocalDateTime t{2026, 12, 6, 9, 5, 7};
    EXPECT_EQ(dateTimeText(t), "2026/12/06 9:05:07");
    EXPECT_EQ(yymmddText({2009, 12, 31, 23, 59, 59}), "091231");
    EXPECT_EQ(elapsedMs(0x7FFFFFF0u, 0x80000010u), 0x20u);
    EXPECT_EQ(elapsedMs(0xFFFFFFF0u, 0x10u), 0x20u);
}

}  // namespace
}  // namespace kinemo
