#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::accReport;
using test::Bytes;

// Reports as a Wii Remote sends and takes them, zeros up to `length`.
Bytes recorded(const std::string& fixture, std::size_t length = 22) {
    Bytes report = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/" + fixture);
    report.resize(length);
    return report;
}

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

TEST(WiiRemote, EveryExchangeSendsTheLastRequestAtTheRemotesOutputLength) {
    for (std::uint16_t length : {3, 22, 256}) {
        SCOPED_TRACE(length);
        Rig rig;
        rig.remote.caps = {22, length};
        rig.read();
        rig.wiimote.requestAccelerometerReports(ReportDelivery::Continuous);
        rig.wiimote.requestAccelerometerReports(ReportDelivery::OnChange);
        rig.read();
        const Bytes onChange = recorded("mode-request-on-change.txt", length);
        const std::vector sent = {Bytes(length), recorded("mode-request-continuous.txt", length), onChange, onChange};
        EXPECT_EQ(rig.remote.written, sent) << "zeros until the first request";
    }
}

TEST(WiiRemote, OfAllWaitingReportsTheNewestAccelerometerReportIsShown) {
    Rig rig;
    rig.remote.inputQueue.push_back(accReport(10, 11, 12));
    rig.remote.inputQueue.push_back(recorded("accelerometer-report.txt"));
    rig.remote.inputQueue.push_back(accReport(1, 2, 3, 22, kStatusReportId));
    rig.remote.inputQueue.push_back(accReport(4, 5, 6, 22, kAcknowledgeReportId));
    EXPECT_EQ(rig.read(), (AccTriple{0x80, 0x81, 0x9A}));
}

TEST(WiiRemote, AReadErrorClosesTheRemoteAndGivesZeros) {
    Rig rig;
    rig.remote.inputQueue.push_back(accReport(90, 91, 92));
    rig.read();
    rig.remote.failNextRead = true;
    EXPECT_EQ(rig.read(), (AccTriple{0, 0, 0}));
    EXPECT_EQ(rig.remote.closes, 1);
}

TEST(WiiRemote, EverySearchPausesOnceAndAConnectedRemoteNever) {
    Rig rig;
    rig.remote.openable = false;
    rig.read();
    rig.read();
    rig.remote.openable = true;
    rig.read();
    rig.read();
    EXPECT_EQ(rig.platform.pauses, std::vector(3, kSearchPause));
}

// Nodes in the order the search meets them: hidraw8, a Wii Remote Plus, is the first usable remote.
struct Listing {
    Listing() {
        platform.addWiiRemote("/dev/hidraw3").attributes.reset();
        platform.addWiiRemote("/dev/hidraw4").caps.reset();
        platform.addWiiRemote("/dev/hidraw5").caps = HidCaps{22, 257};  // longer than the output buffer
        platform.addWiiRemote("/dev/hidraw6").openable = false;
        platform.addDevice("/dev/hidraw7", 0x046D, 0xC077).listedAs = {kNintendoVendorId, kWiiRemoteProductId};
        platform.addDevice("/dev/hidraw8", kNintendoVendorId, kWiiRemotePlusProductId);
        platform.addWiiRemote("/dev/hidraw9");
        wiimote.requestAccelerometerReports(ReportDelivery::Continuous);
    }
    test::FakeHidPlatform platform;
    WiiRemote wiimote{platform};
};

TEST(WiiRemote, TheSearchConnectsTheFirstUsableRemote) {
    Listing listing;
    EXPECT_EQ(listing.wiimote.devicePath(), "/dev/hidraw8");
    EXPECT_EQ(listing.platform.device("/dev/hidraw9").opens, 0);
}

TEST(WiiRemote, TheSearchClosesEveryOpenedNodeThatIsNoUsableRemote) {
    Listing listing;
    for (const char* path : {"/dev/hidraw3", "/dev/hidraw4", "/dev/hidraw5", "/dev/hidraw7"}) {
        EXPECT_EQ(listing.platform.device(path).opens, 1) << path;
        EXPECT_EQ(listing.platform.device(path).closes, 1) << path;
    }
}

}  // namespace
}  // namespace kinemo
