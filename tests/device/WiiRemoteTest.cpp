#include "device/SimulatedHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::accReport;

struct Rig {
    test::FakeHidPlatform platform;
    test::FakeDeviceState& remote = platform.addWiiRemote();
    WiiRemote wiimote{platform};
    AccTriple read() {
        AccTriple acc{0xEE, 0xEE, 0xEE};  // must be overwritten
        wiimote.readAcceleration(acc);
        return acc;
    }
};

TEST(WiiRemote, WritesExactlyTheOutputLengthAndRepeatsTheFlagsGivenLast) {
    for (std::uint16_t length : {3, 22, 256}) {
        Rig rig;
        rig.remote.caps = {22, length};
        rig.read();  // before any mode is set: zeros
        EXPECT_TRUE(rig.wiimote.setReportMode(0x12, 0x04, 0x31));
        rig.wiimote.setReportMode(0x12, 0x00, 0x31);
        rig.read();
        const auto quiet = test::modeRequest(0x00, length);
        EXPECT_EQ(rig.remote.written, (std::vector{test::Bytes(length), test::modeRequest(0x04, length), quiet, quiet}))
            << length;
    }
}

TEST(WiiRemote, TakesTheNewest0x31ReportAndKeepsItThroughStrayReportsAndEmptyQueues) {
    Rig rig;
    auto& queue = rig.remote.inputQueue;
    queue = {accReport(10, 11, 12), accReport(20, 21, 22), accReport(1, 2, 3, 22, 0x20), accReport(4, 5, 6, 22, 0x22)};
    EXPECT_EQ(rig.read(), (AccTriple{20, 21, 22}));
    EXPECT_TRUE(queue.empty()) << "every queued report is taken";
    queue.push_back(accReport(7, 8, 9, 22, 0x20));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(rig.read(), (AccTriple{20, 21, 22})) << "a lone stray report, then none";
    EXPECT_TRUE(rig.wiimote.isConnected());
    EXPECT_EQ(std::tie(rig.remote.opens, rig.remote.closes, rig.platform.enumerations), std::tuple(1, 0, 1));
    EXPECT_EQ(rig.platform.pauses, std::vector{kSearchPause}) << "only the first search pauses";
}

TEST(WiiRemote, ReadErrorGivesZerosClosesOnceAndEveryLaterCallSearchesOnceUntilFound) {
    Rig rig;
    rig.remote.inputQueue.push_back(accReport(90, 91, 92));
    ASSERT_EQ(rig.read(), (AccTriple{90, 91, 92}));
    rig.remote.failNextRead = true;
    EXPECT_FALSE(rig.wiimote.setReportMode(0x12, 0x04, 0x31));
    EXPECT_EQ(rig.remote.closes, 1);
    rig.remote.openable = false;
    for (int i = 0; i < 2; ++i) EXPECT_EQ(rig.read(), (AccTriple{0, 0, 0}));
    EXPECT_EQ(std::pair(rig.platform.enumerations, rig.platform.pauses.size()), std::pair(3, std::size_t{3}));
    rig.remote.openable = true;
    rig.remote.inputQueue.push_back(accReport(93, 94, 95));
    EXPECT_EQ(rig.read(), (AccTriple{93, 94, 95}));
    EXPECT_EQ(rig.platform.pauses.size(), 4u);
}

TEST(WiiRemote, OpensOnlyNodesListedAsRemotesTakesTheFirstUsableAndClosesTheRest) {
    test::FakeHidPlatform platform;
    platform.addDevice("/dev/hidraw0", 0x046D, 0xC077);  // a mouse
    platform.addDevice("/dev/hidraw1", 0x057E, 0x0337);
    platform.addDevice("/dev/hidraw2", 0x1234, 0x0306);
    platform.addWiiRemote("/dev/hidraw3").attributes.reset();
    platform.addWiiRemote("/dev/hidraw4").caps.reset();
    platform.addWiiRemote("/dev/hidraw5").caps = HidCaps{22, 257};
    platform.addWiiRemote("/dev/hidraw6").openable = false;
    platform.addDevice("/dev/hidraw7", 0x046D, 0xC077).listedAs = {0x057E, 0x0306};  // a stale listing
    auto& remotePlus = platform.addDevice("/dev/hidraw8", 0x057E, 0x0330);
    platform.addWiiRemote("/dev/hidraw9");
    {
        WiiRemote wiimote(platform);
        EXPECT_EQ(platform.enumerations, 0) << "nothing is searched before it is asked for";
        EXPECT_TRUE(wiimote.setReportMode(0x12, 0x04, 0x31));
        EXPECT_EQ(wiimote.devicePath(), "/dev/hidraw8");
        for (const char* gone : {"/dev/hidraw8", "/dev/hidraw9"}) platform.removeDevice(gone);
        EXPECT_TRUE(!wiimote.connect() && remotePlus.closes == 1) << "a failed search keeps no earlier handle";
    }
    for (const char* path : {"/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw9"})
        EXPECT_EQ(platform.device(path).opens, 0) << path;
    for (const char* path : {"/dev/hidraw3", "/dev/hidraw4", "/dev/hidraw5", "/dev/hidraw7"})
        EXPECT_EQ(std::tie(platform.device(path).opens, platform.device(path).closes), std::tuple(2, 2)) << path;
    EXPECT_TRUE(platform.device("/dev/hidraw5").written.empty());
    EXPECT_EQ(remotePlus.written.size(), 1u);
}

TEST(SimulatedHidPlatform, PolledEvery10MsAcrossTheClocksWrapTheRemoteGivesAFreshSmoothSampleAlmostEveryTime) {
    test::FakeClock clock;
    clock.ms = 0xFFFFF000u;
    SimulatedHidPlatform platform(clock, false);
    WiiRemote wiimote(platform);
    ASSERT_TRUE(wiimote.setReportMode(0x12, 0x04, 0x31));
    int fresh = 0;
    AccTriple acc{}, previous = simulatedAcceleration(0);
    for (std::uint64_t tick = 1; tick <= 3000; ++tick, previous = acc) {
        clock.ms += 10;
        wiimote.readAcceleration(acc);
        fresh += acc == simulatedAcceleration(tick);
        for (std::size_t axis = 0; axis < 3; ++axis) ASSERT_LE(std::abs(acc[axis] - previous[axis]), 8) << tick;
    }
    EXPECT_GE(fresh, 2970);
}

}  // namespace
}  // namespace kinemo
