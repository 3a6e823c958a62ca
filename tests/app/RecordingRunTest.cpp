// One recording run without a window: what starting resets and what finishing measures.
#include "app/RecordingRun.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

TEST(RecordingRun, StartingPutsTheRunBackToTheZeroLevelButNotTheLastEntry) {
    SampleStore store;
    store.fill({1, 2, 3});
    RecordingRun run;
    run.start(store, 0);
    EXPECT_EQ(store[0], kZeroSample);
    EXPECT_EQ(store[2000], kZeroSample);
    EXPECT_EQ(store[2001], (AccTriple{1, 2, 3}));
}

// The period is the run's seconds shared out among its 2000 samples, in hundredths.
TEST(RecordingRun, FinishingMeasuresTheRunAcrossTheWrapOfTheClock) {
    const struct { std::uint32_t startMs, ms; double seconds; float period; } cases[] = {
        {0xFFFFFFFFu - 7000, 20500u, 20.5, 1.025f},
        {0x80000000u - 7000, 20000u, 20.0, 1.0f},
        {5000u, 31250u, 31.25, 1.5625f},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "start " << k.startMs);
        SampleStore store;
        RecordingRun run;
        run.start(store, k.startMs);
        test::FakeClock clock;
        clock.ms = k.startMs + k.ms;
        const RecordingRun::Calibration calibration = run.finish(clock);
        EXPECT_EQ(calibration.seconds, k.seconds);
        EXPECT_EQ(calibration.samplePeriod, k.period);
    }
}

}  // namespace
}  // namespace kinemo
