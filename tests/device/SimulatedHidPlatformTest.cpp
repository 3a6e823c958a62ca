#include "device/SimulatedHidPlatform.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kinemo {
namespace {

using test::modeRequest;

using Bytes = std::vector<std::uint8_t>;

class FakeClock final : public Clock {
public:
    explicit FakeClock(std::uint32_t start) : ms(start) {}
    std::uint32_t timeGetTime() override { return ms; }
    LocalDateTime now() override { return {}; }
    std::uint32_t ms;
};

std::vector<Bytes> readAll(HidDevice& device) {
    std::vector<Bytes> reports;
    Bytes buffer(22);
    while (true) {
        std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
        const ReadStatus status = device.read(buffer);
        EXPECT_NE(status, ReadStatus::Error);
        if (status != ReadStatus::Report) return reports;
        reports.push_back(buffer);
    }
}

AccTriple accOf(const Bytes& report) { return {report[3], report[4], report[5]}; }

TEST(SimulatedHidPlatform, IsOneWiiRemoteWith22ByteReports) {
    FakeClock clock(0);
    SimulatedHidPlatform platform(clock, false);
    const auto paths = platform.enumerate();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(platform.open("/dev/hidraw0"), nullptr);
    auto device = platform.open(paths[0]);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(isWiiRemote(*device->attributes()));
    EXPECT_EQ(device->caps()->inputReportByteLength, 22);
    EXPECT_EQ(device->caps()->outputReportByteLength, 22);
}

TEST(SimulatedHidPlatform, PolledEvery10MsCWiimoteGetsAFreshSampleAlmostEveryTime) {
    FakeClock clock(0xFFFFF000u);  // the run crosses the wrap of the 32-bit clock
    SimulatedHidPlatform platform(clock, false);
    CWiimote wiimote(platform);
    ASSERT_TRUE(wiimote.Config(0x12, 0x04, 0x31));
    const int polls = 3000;
    int fresh = 0;
    AccTriple acc{};
    for (int i = 1; i <= polls; ++i) {
        clock.ms += 10;
        wiimote.GetAcc(acc);
        if (acc == simulatedAcceleration(static_cast<std::uint64_t>(i))) ++fresh;
    }
    EXPECT_TRUE(wiimote.isConnected());
    EXPECT_GE(fresh, polls * 99 / 100);
}

TEST(SimulatedHidPlatform, TheTraceMovesLikeAHandHeldRemote) {
    std::array<int, 3> low{255, 255, 255};
    std::array<int, 3> high{0, 0, 0};
    for (std::uint64_t tick = 0; tick < 6000; ++tick) {  // one minute
        const AccTriple acc = simulatedAcceleration(tick);
        for (int axis = 0; axis < 3; ++axis) {
            low[axis] = std::min<int>(low[axis], acc[axis]);
            high[axis] = std::max<int>(high[axis], acc[axis]);
        }
    }
    // Lying still at first: gravity on Z (+1 G), nothing on X and Y.
    const AccTriple still = simulatedAcceleration(0);
    EXPECT_NEAR(still[2], 104, 2);
    EXPECT_NEAR(still[0], 131, 2);
    EXPECT_NEAR(still[1], 131, 2);
    // The tilt carries gravity over to Y and on to -Z; the shake swings X.
    EXPECT_LE(low[2], 106);
    EXPECT_GE(high[2], 156);
    EXPECT_LE(low[1], 106);
    EXPECT_GE(high[0] - low[0], 25);
    // Consecutive samples differ by the noise and the motion, never by a jump.
    for (std::uint64_t tick = 1; tick < 6000; ++tick) {
        const AccTriple a = simulatedAcceleration(tick - 1);
        const AccTriple b = simulatedAcceleration(tick);
        for (int axis = 0; axis < 3; ++axis) ASSERT_LE(std::abs(a[axis] - b[axis]), 8) << tick;
    }
}

TEST(SimulatedHidPlatform, FollowsTheContinuousFlagOfReport0x12) {
    FakeClock clock(5000);
    SimulatedHidPlatform platform(clock, false);
    auto device = platform.open(SimulatedHidPlatform::kPath);
    clock.ms += 500;
    EXPECT_TRUE(readAll(*device).empty()) << "silent until a mode is requested";

    device->write(modeRequest(0x00));  // at tick 50
    std::vector<Bytes> onChange;
    for (int i = 0; i < 140; ++i) {  // ticks 51..190
        clock.ms += 10;
        for (auto& report : readAll(*device)) onChange.push_back(report);
    }
    EXPECT_LT(onChange.size(), 140u);
    EXPECT_GT(onChange.size(), 70u);
    for (std::size_t i = 1; i < onChange.size(); ++i) EXPECT_NE(accOf(onChange[i - 1]), accOf(onChange[i])) << i;

    for (int i = 0; i < 60; ++i) {  // ticks 191..250, with the status report at 200
        clock.ms += 10;
        readAll(*device);
    }
    device->write(modeRequest(0x04));
    clock.ms += 1000;  // ticks 251..350, with an acknowledgement at 300
    const auto continuous = readAll(*device);
    ASSERT_EQ(continuous.size(), 64u) << "the queue holds 64 reports and drops what comes after";
    // Ticks 251..299, the acknowledgement, then ticks 300..313.
    std::uint64_t tick = 251;
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

TEST(SimulatedHidPlatform, StrayReportsComeNowAndThenAndAStatusReportStopsTheStream) {
    FakeClock clock(0);
    SimulatedHidPlatform platform(clock, false);
    auto device = platform.open(SimulatedHidPlatform::kPath);
    device->write(modeRequest(0x04));
    std::vector<Bytes> reports;
    for (int tick = 1; tick <= 310; ++tick) {
        clock.ms += 10;
        for (auto& report : readAll(*device)) reports.push_back(report);
        if (tick == 250) device->write(modeRequest(0x04));
    }
    auto countId = [&](std::uint8_t id) {
        return std::count_if(reports.begin(), reports.end(), [id](const Bytes& r) { return r[0] == id; });
    };
    EXPECT_EQ(countId(0x20), 1);
    EXPECT_EQ(countId(0x22), 1);
    // Ticks 1..199 and 251..310 carry the accelerometer; 200..250 are silent.
    EXPECT_EQ(countId(0x31), 199 + 60);
}

}  // namespace
}  // namespace kinemo
