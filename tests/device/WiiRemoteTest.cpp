#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

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

TEST(WiiRemote, OfAllWaitingReportsTheNewestAccelerometerReportIsShown) {
    Rig rig;
    rig.remote.inputQueue.push_back(test::accReport(10, 11, 12));
    test::Bytes asARemoteSendsIt = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/accelerometer-report.txt");
    asARemoteSendsIt.resize(22);
    rig.remote.inputQueue.push_back(asARemoteSendsIt);
    rig.remote.inputQueue.push_back(test::accReport(1, 2, 3, 22, kStatusReportId));
    rig.remote.inputQueue.push_back(test::accReport(4, 5, 6, 22, kAcknowledgeReportId));
    EXPECT_EQ(rig.read(), (AccTriple{0x80, 0x81, 0x9A}));
}

TEST(WiiRemote, EverySearchPausesOnceAndAConnectedRemoteNever) {
    Rig rig;
    rig.remote.openError = EACCES;
    rig.read();
    rig.remote.openError = 0;
    rig.read();
    rig.read();
    EXPECT_EQ(rig.platform.pauses, std::vector(2, kSearchPause));
}

// Nodes in the order the search meets them: hidraw8, a Wii Remote Plus, is the first usable remote.
// hidraw1 and hidraw7 were listed as remotes, but another device has their node now.
TEST(WiiRemote, TheSearchConnectsTheFirstUsableRemote) {
    test::FakeHidPlatform platform;
    const HidAttributes listedAsRemote{kNintendoVendorId, kWiiRemoteProductId};
    platform.addDevice("/dev/hidraw1", kNintendoVendorId, 0x0337).listedAs = listedAsRemote;
    platform.addWiiRemote("/dev/hidraw3").attributes.reset();
    platform.addWiiRemote("/dev/hidraw4").reportLengths.reset();
    platform.addWiiRemote("/dev/hidraw5").reportLengths = ReportLengths{22, 257};  // longer than the output buffer
    platform.addWiiRemote("/dev/hidraw6").openError = EACCES;
    platform.addDevice("/dev/hidraw7", 0x046D, kWiiRemoteProductId).listedAs = listedAsRemote;
    platform.addDevice("/dev/hidraw8", kNintendoVendorId, kWiiRemotePlusProductId);
    platform.addWiiRemote("/dev/hidraw9");
    WiiRemote wiimote(platform);
    EXPECT_TRUE(wiimote.connect());
    EXPECT_EQ(wiimote.devicePath(), "/dev/hidraw8");
}

}  // namespace
}  // namespace kinemo
