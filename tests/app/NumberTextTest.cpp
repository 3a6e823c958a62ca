#include "app/Clock.h"
#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace kinemo {
namespace {

TEST(NumberText, GValuesRoundDownToHundredths) {
    EXPECT_EQ(gText(131), "0");
    EXPECT_EQ(gText(104), "1");
    EXPECT_EQ(gText(130), "0.03");
    EXPECT_EQ(gText(132), "-0.04");
    EXPECT_EQ(gText(0), "4.85");
    EXPECT_EQ(gText(255), "-4.6");
    EXPECT_EQ(gText(77), "2");
}

TEST(NumberText, FloatsShowSevenDigitsAndDoublesFifteenWhateverTheLocale) {
    // A decimal comma locale must not leak into shown or saved numbers.
    const char* previous = std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(floatText(21.0f / 20.0f), "1.05");
    EXPECT_EQ(floatText(0.8f), "0.8");
    EXPECT_EQ(floatText(100.0f), "100");
    EXPECT_EQ(floatText(-0.04f), "-0.04");
    EXPECT_EQ(floatText(1.5625f), "1.5625");
    EXPECT_EQ(doubleText(20.531), "20.531");
    EXPECT_EQ(doubleText(0.1 + 0.2), "0.3");
    EXPECT_EQ(doubleText(-0.0), "0");
    if (previous) std::setlocale(LC_ALL, "C");
}

TEST(NumberText, RateIsCutDownToOneDecimal) {
    EXPECT_EQ(rateText(21.0f / 20.0f), "95.2 HZ");
    EXPECT_EQ(rateText(1.0f), "100 HZ");
    EXPECT_EQ(rateText(0.8f), "124.9 HZ");
    EXPECT_EQ(rateText(0.75f), "133.3 HZ");
    EXPECT_EQ(rateText(1.5625f), "64 HZ");
    EXPECT_EQ(rateText(1.025f), "97.5 HZ");
    // A period no run can give must not show a division by zero.
    EXPECT_EQ(rateText(0.0f), "--- HZ");
    EXPECT_EQ(rateText(-1.0f), "--- HZ");
    EXPECT_EQ(rateText(std::nanf("")), "--- HZ");
}

TEST(Clock, JapaneseDefaultFormsAndWrapSafeElapsedTime) {
    const LocalDateTime t{2026, 12, 6, 9, 5, 7};
    EXPECT_EQ(dateTimeText(t), "2026/12/06 9:05:07");
    EXPECT_EQ(dateText(t), "2026/12/06");
    EXPECT_EQ(timeText(t), "9:05:07");
    EXPECT_EQ(yymmddText({2009, 12, 31, 23, 59, 59}), "091231");
    EXPECT_EQ(elapsedMs(0x7FFFFFF0u, 0x80000010u), 0x20u);
    EXPECT_EQ(elapsedMs(0xFFFFFFF0u, 0x10u), 0x20u);
}

}  // namespace
}  // namespace kinemo
