// The rules of the measurement without a window: number texts, the clock, the
// sweep, the recording run and the viewer's window.
#include "app/RecordingRun.h"
#include "app/Sweep.h"
#include "app/ViewerWindow.h"
#include "core/NumberText.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace kinemo {
namespace {

TEST(Texts, GValuesRoundDownNumbersIgnoreTheLocaleAndTheClockWraps) {
    const std::pair<std::uint8_t, const char*> g[] = {{131, "0"}, {104, "1"}, {130, "0.03"},
                                                      {132, "-0.04"}, {0, "4.85"}, {255, "-4.6"}};
    for (auto [raw, text] : g) EXPECT_EQ(gText(raw), text) << int(raw);
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // a decimal comma must not leak into numbers
    EXPECT_EQ(floatText(21.0f / 20.0f), "1.05");
    EXPECT_EQ(doubleText(20.531), "20.531");
    EXPECT_EQ(doubleText(-0.0), "0");
    std::setlocale(LC_ALL, "C");
    const std::pair<float, const char*> rates[] = {{1.05f, "95.2 HZ"}, {0.8f, "124.9 HZ"}, {1.0f, "100 HZ"},
                                                   {0.0f, "--- HZ"},   {-1.0f, "--- HZ"}, {NAN, "--- HZ"}};
    for (auto [period, text] : rates) EXPECT_EQ(rateText(period), text) << period;
    EXPECT_EQ(dateTimeText({2026, 12, 6, 9, 5, 7}), "2026/12/06 9:05:07");
    EXPECT_EQ(yymmddText({2009, 12, 31, 23, 59, 59}), "091231");
    EXPECT_EQ(elapsedMs(0x7FFFFFF0u, 0x80000010u), 0x20u);
    EXPECT_EQ(elapsedMs(0xFFFFFFF0u, 0x10u), 0x20u);
}

TEST(Sweep, WrapsOnlyPastFiveHundredWithTheFloatProduct) {
    const struct { float period; int steps; std::int16_t liveX; bool wrapped; float fromX; } cases[] = {
        {1.05f, 476, 476, false, 475 * 1.05f},  // 499.8
        {1.05f, 477, 1, true, 0},               // 500.85 wraps
        {1.0f, 500, 500, false, 499},           // exactly 500 does not
        {1.0f, 501, 1, true, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.period << " x " << k.steps);
        Sweep sweep;
        Sweep::Step step{};
        for (int i = 0; i < k.steps; ++i) step = sweep.advance(k.period);
        EXPECT_EQ(std::tuple(sweep.liveX(), step.wrapped, step.fromX, step.toX),
                  std::tuple(k.liveX, k.wrapped, k.fromX, static_cast<float>(k.liveX) * k.period));
    }
}

TEST(RecordingRun, StoresTwoThousandSamplesAndCalibratesAcrossTheClocksWrap) {
    for (const auto& [startMs, ms, seconds, period] : {std::tuple{0xFFFFFFFFu - 7000, 20500u, 20.5, 1.025f},
                                                      std::tuple{0x80000000u - 7000, 20000u, 20.0, 1.0f},
                                                      std::tuple{5000u, 31250u, 31.25, 1.5625f}}) {
        SCOPED_TRACE(startMs);
        test::FakeClock clock;
        SampleStore store;
        store.fill({1, 2, 3});
        RecordingRun run;
        run.start(store, startMs);
        EXPECT_TRUE(run.isRecording());
        EXPECT_EQ(std::pair(store[2000], store[2001]), std::pair(kZeroSample, AccTriple{1, 2, 3}))
            << "the last entry is never reset";
        for (int i = 0; i < kRunLength; ++i) {
            ASSERT_FALSE(run.isComplete()) << i;
            run.store(store, {static_cast<std::uint8_t>(i), 0, 0});
        }
        EXPECT_TRUE(run.isComplete());
        EXPECT_EQ(store[kRunLength - 1][0], static_cast<std::uint8_t>(kRunLength - 1));
        clock.ms = startMs + ms;
        const RecordingRun::Calibration calibration = run.finish(clock);
        EXPECT_EQ(std::pair(calibration.seconds, calibration.samplePeriod), std::pair(seconds, period));
        EXPECT_TRUE(!run.isRecording() && run.sampleIndex() == 0);
    }
}

TEST(ViewerWindow, ForEachPeriodAndScrollPosition) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct { float period; int maximum, value, viewStart, last, phase, firstSecond; } cases[] = {
        {1.0f, 1500, 1, 1499, 1999, 99, 14},  // the thumb's left end
        {1.05f, 1428, 1333, 95, 600, 0, 1},   // 99.75: the line at x = 0 stands for second 1
        {1.05f, 1428, 1334, 94, 599, 99, 0},  // 98.7
        {1.05f, 1428, 728, 700, 1235, 35, 7},
        {0.8f, 1874, 1, 1873, 1998, 98, 14},  // 1500 / 0.800000011920929 is just under 1875
        {1.05f, 1428, 1428, 0, 500, 0, 0},    // the start
        {0.0f, 1, 1, 0, 500, 0, 0},           // no usable period: one position
        {-1.05f, 1, 1, 0, 500, 0, 0},
        {NAN, 1, 1, 0, 500, 0, 0},
        {inf, 1, 1, 0, 500, 0, 0},
        {1600.0f, 1, 1, 0, 500, 0, 0},
        {0.01f, 32767, 32767, 0, 500, 0, 0},  // the bar's 16-bit limit
        {0.046f, 32608, 1, 32607, 2000, 0, 15},  // 1499.92 rounds to a whole 15 s
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << k.period << " at " << k.value);
        EXPECT_EQ(ViewerWindow::scrollMaximum(k.period), k.maximum);
        const ViewerWindow window = ViewerWindow::at(k.maximum, k.value, k.period);
        const TimeAxis& axis = window.axis;
        EXPECT_EQ((std::vector<int>{window.viewStart, window.last, axis.phase, axis.firstSecond}),
                  (std::vector<int>{k.viewStart, k.last, k.phase, k.firstSecond}));
        EXPECT_EQ(std::pair(axis.secondLineX(1), axis.halfSecondLineX(0)),
                  std::pair(100 - k.phase, 50 - k.phase));
        EXPECT_EQ(axis.secondNumber(2), std::to_string(k.firstSecond + 2));
    }
    // A period changed under an open viewer (a load that failed half-way) keeps the
    // axis within one second's phase.
    for (float period : {NAN, inf, -inf, 1e30f, -1.05f})
        EXPECT_LT(static_cast<unsigned>(ViewerWindow::at(1428, 2, period).axis.phase), 100u) << period;
}

}  // namespace
}  // namespace kinemo
