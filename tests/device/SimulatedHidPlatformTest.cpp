#include "device/SimulatedHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

// What the program shows of the simulated remote, polled every 10 ms for 30 s across the wrap of
// the clock; first the motion due at power-on.
std::vector<AccTriple> pollForThirtySeconds() {
    test::FakeClock clock;
    clock.ms = 0xFFFFF000u;
    SimulatedHidPlatform platform(clock, false);
    WiiRemote wiimote(platform);
    wiimote.requestAccelerometerReports(ReportDelivery::Continuous);
    std::vector<AccTriple> shown = {simulatedAcceleration(0)};
    for (int tick = 1; tick <= 3000; ++tick) {
        clock.ms += 10;
        wiimote.readAcceleration(shown.emplace_back());
    }
    return shown;
}

TEST(SimulatedHidPlatform, AlmostEveryPollGivesTheSampleDueThen) {
    const std::vector<AccTriple> shown = pollForThirtySeconds();
    int fresh = 0;
    for (std::uint64_t tick = 1; tick < shown.size(); ++tick)
        fresh += shown[tick] == simulatedAcceleration(tick) ? 1 : 0;
    EXPECT_GE(fresh, 2970);
}

TEST(SimulatedHidPlatform, TheMotionIsSmooth) {
    const std::vector<AccTriple> shown = pollForThirtySeconds();
    for (std::size_t tick = 1; tick < shown.size(); ++tick)
        for (std::size_t axis = 0; axis < 3; ++axis)
            ASSERT_LE(std::abs(shown[tick][axis] - shown[tick - 1][axis]), 8) << "tick " << tick << ", axis " << axis;
}

}  // namespace
}  // namespace kinemo
