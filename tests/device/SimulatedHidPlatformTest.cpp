#include "device/SimulatedHidPlatform.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kinemo {
namespace {

using test::modeRequest;
using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> readAll(HidDevice& device) {
    std::vector<Bytes> reports;
    for (Bytes buffer(22);; buffer.assign(22, 0)) {
        const ReadStatus status = device.read(buffer);
        EXPECT_NE(status, ReadStatus::Error);
        if (status != ReadStatus::Report) return reports;
        reports.push_back(buffer);
    }
}

AccTriple accOf(const Bytes& report) { return {report[3], report[4], report[5]}; }

TEST(SimulatedHidPlatform, PolledEvery10MsTheRemoteGetsAFreshSampleAlmostEveryTime) {
    test::FakeClock clock;
    clock.ms = 0xFFFFF000u;  // the run crosses the wrap of the 32-bit clock
    SimulatedHidPlatform platform(clock, false);
    WiiRemote wiimote(platform);
    ASSERT_TRUE(wiimote.setReportMode(0x12, 0x04, 0x31));
    EXPECT_EQ(wiimote.caps().inputReportByteLength, 22);
    EXPECT_EQ(wiimote.caps().outputReportByteLength, 22);
    const int polls = 3000;
    int fresh = 0;
    AccTriple acc{};
    for (int i = 1; i <= polls; ++i) {
        clock.ms += 10;
        wiimote.readAcceleration(acc);
        if (acc == simulatedAcceleration(static_cast<std::uint64_t>(i))) ++fresh;
    }
    EXPECT_TRUE(wiimote.isConnected());
    EXPECT_GE(fresh, polls * 99 / 100);
}

TEST(SimulatedHidPlatform, TheTraceMovesLikeAHandHeldRemote) {
    // Lying still at first: gravity on Z (+1 G), nothing on X and Y.
    const AccTriple still = simulatedAcceleration(0);
    EXPECT_NEAR(still[0], 131, 2);
    EXPECT_NEAR(still[1], 131, 2);
    EXPECT_NEAR(still[2], 104, 2);
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (std::uint64_t tick = 1; tick < 6000; ++tick) {  // one minute
        const AccTriple a = simulatedAcceleration(tick - 1);
        const AccTriple b = simulatedAcceleration(tick);
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<int>(low[axis], b[axis]);
            high[axis] = std::max<int>(high[axis], b[axis]);
            ASSERT_LE(std::abs(a[axis] - b[axis]), 8) << "no jumps, tick " << tick;
        }
    }
    // The tilt carries gravity over to Y and on to -Z; the shake swings X.
    EXPECT_LE(low[2], 106);
    EXPECT_GE(high[2], 156);
    EXPECT_LE(low[1], 106);
    EXPECT_GE(high[0] - low[0], 25);
}

TEST(SimulatedHidPlatform, FollowsReport0x12SlipsInStrayReportsAndQueues64) {
    test::FakeClock clock;
    SimulatedHidPlatform platform(clock, false);
    EXPECT_EQ(platform.enumerate(), (std::vector<HidInterface>{{SimulatedHidPlatform::kPath, {0x057E, 0x0306}}}));
    EXPECT_EQ(platform.open("/dev/hidraw0"), nullptr);
    auto device = platform.open(SimulatedHidPlatform::kPath);
    clock.ms += 500;
    EXPECT_TRUE(readAll(*device).empty()) << "silent until a mode is requested";

    device->write(modeRequest(0x00));  // at tick 50: a report only when the data change
    auto readEveryTick = [&](int ticks) {
        std::vector<Bytes> reports;
        while (ticks-- > 0) {
            clock.ms += 10;
            std::ranges::copy(readAll(*device), std::back_inserter(reports));
        }
        return reports;
    };
    const auto onChange = readEveryTick(140);  // ticks 51..190
    EXPECT_LT(onChange.size(), 140u);
    EXPECT_GT(onChange.size(), 70u);
    for (std::size_t i = 1; i < onChange.size(); ++i) EXPECT_NE(accOf(onChange[i - 1]), accOf(onChange[i])) << i;
    const auto is0x31 = [](const Bytes& report) { return report[0] == 0x31; };
    EXPECT_TRUE(std::all_of(onChange.begin(), onChange.end(), is0x31));

    const auto aroundStatus = readEveryTick(60);  // ticks 191..250, with the status report at 200
    ASSERT_FALSE(aroundStatus.empty());
    EXPECT_EQ(aroundStatus.back()[0], 0x20) << "a status report halts the stream";
    EXPECT_TRUE(std::all_of(aroundStatus.begin(), aroundStatus.end() - 1, is0x31));

    device->write(modeRequest(0x04));  // continuous from tick 251
    clock.ms += 1000;                  // ticks 251..350, with an acknowledgement at 300
    const auto continuous = readAll(*device);
    ASSERT_EQ(continuous.size(), 64u) << "the queue holds 64 reports and drops what comes after";
    std::uint64_t tick = 251;  // ticks 251..299, the acknowledgement, then ticks 300..313
    for (std::size_t i = 0; i < continuous.size(); ++i) {
        if (i == 49) {
            EXPECT_EQ(continuous[i][0], 0x22);
            continue;
        }
        EXPECT_EQ(continuous[i][0], 0x31) << i;
        EXPECT_EQ(accOf(continuous[i]), simulatedAcceleration(tick++)) << i;
    }
    EXPECT_EQ(tick, 314u);
}

}  // namespace
}  // namespace kinemo
