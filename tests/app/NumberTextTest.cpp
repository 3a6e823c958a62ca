#include "app/RecordingRun.h"
#include "app/Sweep.h"
#include "app/ViewerWindow.h"
#include "core/Clock.h"
#include "core/NumberText.h"
#include "tests/support/FakeClock.h"

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

// The rules without a window: each case names the step or position where a fault
// would show first.
TEST(Rules, SweepWrapsOnlyPastFiveHundredWithTheFloatProduct) {
    const struct { float period; int steps; std::int16_t liveX; bool wrapped; float fromX; } cases[] = {
        {1.05f, 476, 476, false, 475 * 1.05f},  // 499.8
        {1.05f, 477, 1, true, 0},               // 500.85 wraps
        {1.0f, 500, 500, false, 499},           // exactly 500 does not
        {1.0f, 501, 1, true, 0},
    };
    for (const auto& k : cases) {
        Sweep sweep;
        Sweep::Step step{};
        for (int i = 0; i < k.steps; ++i) step = sweep.advance(k.period);
        EXPECT_EQ(sweep.liveX(), k.liveX) << k.period << " x " << k.steps;
        EXPECT_EQ(step.wrapped, k.wrapped) << k.period << " x " << k.steps;
        EXPECT_EQ(step.fromX, k.fromX) << k.period << " x " << k.steps;
        EXPECT_EQ(step.toX, static_cast<float>(k.liveX) * k.period) << k.period << " x " << k.steps;
    }
}

TEST(Rules, ARunStoresTwoThousandSamplesAndCalibratesAcrossTheClocksWrap) {
    test::FakeClock clock;
    SampleStore store;
    store.fill({1, 2, 3});
    RecordingRun run;
    run.start(store, 0xFFFFFFFFu - 7000);
    EXPECT_EQ(store[kRunLength], kZeroSample);
    EXPECT_EQ(store[kRunLength + 1], (AccTriple{1, 2, 3})) << "the last entry is never reset";
    for (int i = 0; i < kRunLength; ++i) {
        ASSERT_FALSE(run.isComplete()) << i;
        run.store(store, {static_cast<std::uint8_t>(i), 0, 0});
    }
    EXPECT_TRUE(run.isComplete());
    EXPECT_EQ(store[kRunLength - 1][0], static_cast<std::uint8_t>(kRunLength - 1));
    clock.ms = 0xFFFFFFFFu - 7000 + 20500;  // past 2^32: 20.5 s later
    const RecordingRun::Calibration calibration = run.finish(clock);
    EXPECT_EQ(calibration.seconds, 20.5);
    EXPECT_EQ(calibration.samplePeriod, 1.025f);
    EXPECT_FALSE(run.isRecording());
    EXPECT_EQ(run.sampleIndex(), 0);
}

TEST(Rules, ViewerWindowForEachPeriodAndScrollPosition) {
    const struct { float period; int maximum, value, viewStart, last, phase, firstSecond; } cases[] = {
        {1.0f, 1500, 1, 1499, 1999, 99, 14},    // the thumb's left end
        {1.05f, 1428, 1333, 95, 600, 0, 1},     // 99.75: the line at x = 0 stands for second 1
        {1.05f, 1428, 1334, 94, 599, 99, 0},    // 98.7
        {0.8f, 1874, 1, 1873, 1998, 98, 14},    // 1500 / 0.800000011920929 is just under 1875
        {1.05f, 1428, 1428, 0, 500, 0, 0},      // the start
        {0.0f, 1, 1, 0, 500, 0, 0},             // no usable period: one position
        {0.01f, 32767, 32767, 0, 500, 0, 0},    // the bar's 16-bit limit
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.period << " at " << k.value);
        EXPECT_EQ(ViewerWindow::scrollMaximum(k.period), k.maximum);
        const ViewerWindow window = ViewerWindow::at(k.maximum, k.value, k.period);
        EXPECT_EQ(window.viewStart, k.viewStart);
        EXPECT_EQ(window.last, k.last);
        EXPECT_EQ(window.axis.phase, k.phase);
        EXPECT_EQ(window.axis.firstSecond, k.firstSecond);
        EXPECT_EQ(window.axis.secondLineX(1), 100 - k.phase);
        EXPECT_EQ(window.axis.halfSecondLineX(0), 50 - k.phase);
        EXPECT_EQ(window.axis.secondNumber(2), std::to_string(k.firstSecond + 2));
    }
}

}  // namespace
}  // namespace kinemo
