#include "device/SimulatedHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

TEST(SimulatedHidPlatform, PolledEvery10MsAcrossTheClocksWrapItGivesTheSampleDueAlmostEveryTime) {
    test::FakeClock clock;
    clock.ms = 0xFFFFF000u;
    SimulatedHidPlatform platform(clock, false);
    WiiRemote wiimote(platform);
    wiimote.requestAccelerometerReports(ReportDelivery::Continuous);
    int fresh = 0;
    for (std::uint64_t tick = 1; tick <= 3000; ++tick) {
        clock.ms += 10;
        AccTriple acc{};
        wiimote.readAcceleration(acc);
        fresh += acc == simulatedAcceleration(tick) ? 1 : 0;
    }
    EXPECT_GE(fresh, 2970);
}

}  // namespace
}  // namespace kinemo
