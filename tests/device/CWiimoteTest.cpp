#include "device/CWiimote.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::accReport;
using test::FakeHidPlatform;
using test::modeRequest;
using Bytes = std::vector<std::uint8_t>;

TEST(CWiimoteReports, OutputReportHasExactlyTheDevicesOutputLength) {
    for (std::uint16_t length : {std::uint16_t{22}, std::uint16_t{3}, std::uint16_t{256}}) {
        FakeHidPlatform platform;
        auto& remote = platform.addWiiRemote();
        remote.caps = {22, length};
        CWiimote wiimote(platform);
        EXPECT_TRUE(wiimote.Config(0x12, 0x04, 0x31));
        ASSERT_EQ(remote.written.size(), 1u);
        EXPECT_EQ(remote.written[0], modeRequest(0x04, length)) << length;
    }
}

TEST(CWiimoteReports, EveryGetAccRepeatsTheFlagsGivenLast) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    CWiimote wiimote(platform);
    wiimote.Config(0x12, 0x04, 0x31);
    wiimote.Config(0x12, 0x00, 0x31);
    AccTriple acc{};
    wiimote.GetAcc(acc);
    wiimote.GetAcc(acc);
    ASSERT_EQ(remote.written.size(), 4u);
    EXPECT_EQ(remote.written[2], modeRequest(0x00, 22));
    EXPECT_EQ(remote.written[3], modeRequest(0x00, 22));
}

TEST(CWiimoteReports, GetAccBeforeConfigSendsZeros) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    CWiimote wiimote(platform);
    AccTriple acc{1, 2, 3};
    wiimote.GetAcc(acc);
    ASSERT_EQ(remote.written.size(), 1u);
    EXPECT_EQ(remote.written[0], Bytes(22, 0));
}

TEST(CWiimoteReports, DecodesBytesThreeFourFive) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    remote.inputQueue.push_back({0x31, 0x00, 0x00, 0x80, 0x81, 0x9A});
    CWiimote wiimote(platform);
    AccTriple acc{};
    wiimote.GetAcc(acc);
    EXPECT_EQ(acc, (AccTriple{0x80, 0x81, 0x9A}));
}

TEST(CWiimoteReports, NewestAccelerometerReportWinsAndOtherIdsAreSkipped) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    remote.inputQueue.push_back(accReport(10, 11, 12));
    remote.inputQueue.push_back(accReport(20, 21, 22));
    remote.inputQueue.push_back(accReport(1, 2, 3, 22, 0x20));  // status
    remote.inputQueue.push_back(accReport(4, 5, 6, 22, 0x22));  // acknowledgement
    CWiimote wiimote(platform);
    AccTriple acc{};
    wiimote.GetAcc(acc);
    EXPECT_EQ(acc, (AccTriple{20, 21, 22}));
    EXPECT_TRUE(remote.inputQueue.empty()) << "every queued report is taken";

    // Only a stray report waiting: the previous triple stays.
    remote.inputQueue.push_back(accReport(7, 8, 9, 22, 0x20));
    wiimote.GetAcc(acc);
    EXPECT_EQ(acc, (AccTriple{20, 21, 22}));
}

TEST(CWiimoteLink, EmptyQueueKeepsTheLinkAndThePreviousTriple) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    remote.inputQueue.push_back(accReport(100, 110, 120));
    CWiimote wiimote(platform);
    AccTriple acc{};
    wiimote.GetAcc(acc);
    for (int i = 0; i < 5; ++i) {
        wiimote.GetAcc(acc);
        EXPECT_EQ(acc, (AccTriple{100, 110, 120}));
    }
    EXPECT_TRUE(wiimote.isConnected());
    EXPECT_EQ(remote.opens, 1);
    EXPECT_EQ(remote.closes, 0);
    EXPECT_EQ(platform.enumerations, 1);
    EXPECT_EQ(platform.pauses.size(), 1u) << "only the first search pauses";
}

TEST(CWiimoteLink, NoDeviceGivesThePreviousTripleAndOnePausePerCall) {
    FakeHidPlatform platform;
    CWiimote wiimote(platform);
    AccTriple acc{7, 7, 7};
    wiimote.GetAcc(acc);
    EXPECT_EQ(acc, (AccTriple{0, 0, 0}));
    EXPECT_FALSE(wiimote.Config(0x12, 0x04, 0x31));
    wiimote.GetAcc(acc);
    EXPECT_EQ(acc, (AccTriple{0, 0, 0}));
    EXPECT_EQ(platform.enumerations, 3);
    ASSERT_EQ(platform.pauses.size(), 3u);
    for (auto pause : platform.pauses) EXPECT_EQ(pause, std::chrono::milliseconds(200));

    // A triple once decoded is handed out again while the remote is gone.
    auto& remote = platform.addWiiRemote();
    remote.inputQueue.push_back(accReport(50, 60, 70));
    wiimote.GetAcc(acc);
    platform.removeDevice("/dev/hidraw0");
    remote.failNextRead = true;
    wiimote.GetAcc(acc);  // lost: 0, 0, 0
    wiimote.GetAcc(acc);  // searching: keeps 0, 0, 0
    EXPECT_EQ(acc, (AccTriple{0, 0, 0}));
}

TEST(CWiimoteLink, ReadErrorGivesZerosClosesOnceAndTheNextCallReconnects) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    remote.inputQueue.push_back(accReport(90, 91, 92));
    CWiimote wiimote(platform);
    AccTriple acc{};
    wiimote.GetAcc(acc);
    ASSERT_EQ(acc, (AccTriple{90, 91, 92}));

    remote.failNextRead = true;
    EXPECT_FALSE(wiimote.Config(0x12, 0x04, 0x31));
    wiimote.GetAcc(acc);  // this call already searches again and reads
    EXPECT_EQ(acc, (AccTriple{0, 0, 0}));
    EXPECT_EQ(remote.closes, 1);
    EXPECT_EQ(remote.opens, 2);
    EXPECT_TRUE(wiimote.isConnected());
    EXPECT_EQ(platform.pauses.size(), 2u);

    remote.inputQueue.push_back(accReport(93, 94, 95));
    wiimote.GetAcc(acc);
    EXPECT_EQ(acc, (AccTriple{93, 94, 95}));
}

TEST(CWiimoteDiscovery, OpensTheFirstOfTwoRemotesAndSkipsOthers) {
    FakeHidPlatform platform;
    auto& mouse = platform.addDevice("/dev/hidraw0", 0x046D, 0xC077);
    auto& otherNintendo = platform.addDevice("/dev/hidraw1", 0x057E, 0x0337);
    auto& otherVendor = platform.addDevice("/dev/hidraw2", 0x1234, 0x0306);
    auto& locked = platform.addWiiRemote("/dev/hidraw3");
    locked.openable = false;
    auto& first = platform.addWiiRemote("/dev/hidraw4");
    auto& second = platform.addWiiRemote("/dev/hidraw5");
    CWiimote wiimote(platform);
    EXPECT_TRUE(wiimote.FindTheHid());
    EXPECT_EQ(wiimote.devicePath(), "/dev/hidraw4");
    for (auto* skipped : {&mouse, &otherNintendo, &otherVendor}) {
        EXPECT_EQ(skipped->opens, 1) << skipped->path;
        EXPECT_EQ(skipped->closes, 1) << skipped->path;
    }
    EXPECT_EQ(locked.opens, 0);
    EXPECT_EQ(locked.closes, 0);
    EXPECT_EQ(first.opens, 1);
    EXPECT_EQ(first.closes, 0);
    EXPECT_EQ(second.opens, 0);
}

TEST(CWiimoteDiscovery, AcceptsTheRemotePlus) {
    FakeHidPlatform platform;
    platform.addDevice("/dev/hidraw7", 0x057E, 0x0330);
    CWiimote wiimote(platform);
    EXPECT_TRUE(wiimote.FindTheHid());
}

TEST(CWiimoteDiscovery, UnreadableAttributesOrCapsAreNoMatch) {
    FakeHidPlatform platform;
    auto& noAttributes = platform.addWiiRemote("/dev/hidraw0");
    noAttributes.attributesReadable = false;
    auto& noCaps = platform.addWiiRemote("/dev/hidraw1");
    noCaps.capsReadable = false;
    CWiimote wiimote(platform);
    EXPECT_FALSE(wiimote.FindTheHid());
    EXPECT_EQ(noAttributes.closes, 1);
    EXPECT_EQ(noCaps.closes, 1);
}

TEST(CWiimoteDiscovery, OutputLongerThan256BytesIsNoMatchAndNothingIsWritten) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    remote.caps = {22, 257};
    CWiimote wiimote(platform);
    EXPECT_FALSE(wiimote.Config(0x12, 0x04, 0x31));
    EXPECT_TRUE(remote.written.empty());
    EXPECT_EQ(remote.opens, remote.closes);
}

TEST(CWiimoteLifecycle, DestructionClosesTheOpenDeviceOnceAndANeverSearchedObjectNothing) {
    FakeHidPlatform platform;
    auto& remote = platform.addWiiRemote();
    { CWiimote idle(platform); }
    EXPECT_EQ(remote.opens, 0);
    EXPECT_EQ(remote.closes, 0);
    {
        CWiimote wiimote(platform);
        wiimote.Config(0x12, 0x04, 0x31);
        EXPECT_EQ(remote.closes, 0);
    }
    EXPECT_EQ(remote.opens, 1);
    EXPECT_EQ(remote.closes, 1);
}

}  // namespace
}  // namespace kinemo
