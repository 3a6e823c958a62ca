#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

using namespace std::chrono_literals;
using test::accReport;
using test::modeRequest;

// One remote at /dev/hidraw0 and the WiiRemote that talks to it.
struct Rig {
    test::FakeHidPlatform platform;
    test::FakeDeviceState& remote = platform.addWiiRemote();
    WiiRemote wiimote{platform};

    AccTriple readAcceleration() {
        AccTriple acc{0xEE, 0xEE, 0xEE};  // readAcceleration must overwrite it
        wiimote.readAcceleration(acc);
        return acc;
    }
};

TEST(WiiRemote, WritesExactlyTheOutputLengthAndRepeatsTheFlagsGivenLast) {
    for (std::uint16_t length : {3, 22, 256}) {
        Rig rig;
        rig.remote.caps = {22, length};
        rig.readAcceleration();  // before any Config: zeros
        EXPECT_TRUE(rig.wiimote.setReportMode(0x12, 0x04, 0x31));
        rig.wiimote.setReportMode(0x12, 0x00, 0x31);
        rig.readAcceleration();
        rig.readAcceleration();
        const auto quiet = modeRequest(0x00, length);
        EXPECT_EQ(rig.remote.written, (std::vector{std::vector<std::uint8_t>(length, 0), modeRequest(0x04, length),
                                                   quiet, quiet, quiet}))
            << length;
    }
}

TEST(WiiRemote, DecodesTheNewest0x31ReportSkipsOtherIdsAndKeepsTheLinkWhenNothingWaits) {
    Rig rig;
    auto& queue = rig.remote.inputQueue;
    queue.push_back({0x31, 0x00, 0x00, 0x80, 0x81, 0x9A});
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{0x80, 0x81, 0x9A}));

    queue = {accReport(10, 11, 12), accReport(20, 21, 22), accReport(1, 2, 3, 22, 0x20), accReport(4, 5, 6, 22, 0x22)};
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{20, 21, 22}));
    EXPECT_TRUE(queue.empty()) << "every queued report is taken";
    queue.push_back(accReport(7, 8, 9, 22, 0x20));
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{20, 21, 22})) << "a lone stray report";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rig.readAcceleration(), (AccTriple{20, 21, 22})) << "empty queue";

    EXPECT_TRUE(rig.wiimote.isConnected());
    EXPECT_EQ(rig.remote.opens, 1);
    EXPECT_EQ(rig.remote.closes, 0);
    EXPECT_EQ(rig.platform.enumerations, 1);
    EXPECT_EQ(rig.platform.pauses.size(), 1u) << "only the first search pauses";
}

TEST(WiiRemote, ReadErrorGivesZerosClosesOnceAndTheNextCallReconnects) {
    Rig rig;
    rig.remote.inputQueue.push_back(accReport(90, 91, 92));
    ASSERT_EQ(rig.readAcceleration(), (AccTriple{90, 91, 92}));

    rig.remote.failNextRead = true;
    EXPECT_FALSE(rig.wiimote.setReportMode(0x12, 0x04, 0x31));
    EXPECT_EQ(rig.remote.closes, 1);
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{0, 0, 0}));  // searches, reopens, nothing waiting
    EXPECT_TRUE(rig.wiimote.isConnected());
    EXPECT_EQ(rig.remote.opens, 2);
    EXPECT_EQ(rig.remote.closes, 1);
    EXPECT_EQ(rig.platform.pauses.size(), 2u);
    rig.remote.inputQueue.push_back(accReport(93, 94, 95));
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{93, 94, 95}));
}

TEST(WiiRemote, WithoutARemoteEveryCallGivesThePreviousTripleAfterOneSearchAndOnePause) {
    Rig rig;
    rig.remote.inputQueue.push_back(accReport(50, 60, 70));
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{50, 60, 70}));  // the first search
    rig.platform.removeDevice("/dev/hidraw0");
    rig.remote.failNextRead = true;
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{0, 0, 0}));  // lost
    EXPECT_FALSE(rig.wiimote.setReportMode(0x12, 0x04, 0x31));
    EXPECT_EQ(rig.readAcceleration(), (AccTriple{0, 0, 0}));
    EXPECT_EQ(rig.platform.enumerations, 3);
    EXPECT_EQ(rig.platform.pauses, std::vector<std::chrono::milliseconds>(3, 200ms));
}

TEST(WiiRemote, OpensOnlyNodesListedAsRemotesTakesTheFirstAndClosesTheRestOnce) {
    test::FakeHidPlatform platform;
    auto& mouse = platform.addDevice("/dev/hidraw0", 0x046D, 0xC077);
    auto& otherNintendo = platform.addDevice("/dev/hidraw1", 0x057E, 0x0337);
    auto& otherVendor = platform.addDevice("/dev/hidraw2", 0x1234, 0x0306);
    auto& noAttributes = platform.addWiiRemote("/dev/hidraw3");
    noAttributes.attributesReadable = false;
    auto& noCaps = platform.addWiiRemote("/dev/hidraw4");
    noCaps.capsReadable = false;
    auto& outputTooLong = platform.addWiiRemote("/dev/hidraw5");
    outputTooLong.caps = {22, 257};
    auto& locked = platform.addWiiRemote("/dev/hidraw6");
    locked.openable = false;
    auto& disguised = platform.addDevice("/dev/hidraw7", 0x046D, 0xC077);
    disguised.listedAs = HidAttributes{0x057E, 0x0306};
    auto& remotePlus = platform.addDevice("/dev/hidraw8", 0x057E, 0x0330);
    auto& second = platform.addWiiRemote("/dev/hidraw9");

    { WiiRemote idle(platform); }
    EXPECT_EQ(platform.enumerations, 0) << "an object that never searched touches nothing";
    {
        WiiRemote wiimote(platform);
        EXPECT_TRUE(wiimote.setReportMode(0x12, 0x04, 0x31));
        EXPECT_EQ(wiimote.devicePath(), "/dev/hidraw8");
        EXPECT_EQ(remotePlus.closes, 0);
        for (const char* gone : {"/dev/hidraw8", "/dev/hidraw9"}) platform.removeDevice(gone);
        EXPECT_TRUE(!wiimote.connect() && remotePlus.closes == 1) << "a failed search keeps no earlier handle";
    }
    for (auto* device : {&mouse, &otherNintendo, &otherVendor, &second}) EXPECT_EQ(device->opens, 0) << device->path;
    for (auto* device : {&noAttributes, &noCaps, &outputTooLong, &disguised}) {
        EXPECT_EQ(device->opens, 2) << device->path;
        EXPECT_EQ(device->closes, 2) << device->path;
    }
    EXPECT_TRUE(outputTooLong.written.empty());
    EXPECT_EQ(remotePlus.written.size(), 1u);
    EXPECT_EQ(locked.opens + locked.closes, 0);
}

}  // namespace
}  // namespace kinemo
