#include "device/LinuxHidPlatform.h"
#include "device/ReportDescriptor.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <sys/inotify.h>
#include <unistd.h>

namespace kinemo {
namespace {

using test::Bytes;

const Bytes wiiRemote = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt");

Bytes with(Bytes bytes, std::ptrdiff_t at, const Bytes& inserted) {
    bytes.insert(bytes.begin() + at, inserted.begin(), inserted.end());
    return bytes;
}

TEST(ReportDescriptor, LongestInputAndOutputReportCountingTheReportIdByte) {
    const Bytes wideFields = {
        0xa1, 0x01, 0x85, 0x01, 0xa1, 0x00, 0x75, 0x10, 0x95, 0x03, 0x81, 0x02,  // report 1: 3 x 16 bits in,
        0x75, 0x0c, 0x95, 0x03, 0x81, 0x02, 0xc0, 0xa4, 0x85, 0x02, 0x75, 0x20,  // 3 x 12; push, report 2:
        0x97, 0x02, 0x00, 0x00, 0x00, 0x91, 0x02, 0xb4, 0x81, 0x02, 0xc0,        // 2 x 32 out; pop, 3 x 12 in
        0xa1, 0x01, 0x85, 0x04, 0x75, 0x08, 0x95, 0x1e, 0x91, 0x02,              // report 4: 30 bytes out
        0x95, 0x40, 0xb1, 0x02, 0xc0};                                           // a feature report: no count
    const struct {
        const char* what;
        Bytes descriptor;
        std::uint16_t input, output;
    } cases[] = {
        {"Wii Remote", wiiRemote, 22, 22},
        {"Wii Remote with a trailing 0x00", with(wiiRemote, std::ssize(wiiRemote), {0x00}), 22, 22},
        {"long item, data like items", with(wiiRemote, 6, {0xfe, 0x03, 0xf0, 0xc0, 0xc0, 0xc0}), 22, 22},
        {"empty long item, no reports", {0xa1, 0x01, 0xfe, 0x00, 0xf0, 0xc0}, 0, 0},
        {"no report IDs: 19 bits in, 5 out, rounded up to bytes", {0xa1, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02,
         0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0x95, 0x05, 0x75, 0x01, 0x91, 0x02, 0xc0}, 4, 2},
        {"wide fields, several collections, push and pop", wideFields, 16, 31},
    };
    ASSERT_EQ(wiiRemote.size(), 217u);
    for (const auto& c : cases) {
        std::string error;
        const auto got = reportLengths(c.descriptor, &error);
        ASSERT_TRUE(got) << c.what << ": " << error;
        EXPECT_EQ(std::tie(got->inputReportByteLength, got->outputReportByteLength), std::tie(c.input, c.output))
            << c.what;
    }
}

TEST(ReportDescriptor, MalformedDescriptorsFailWithAReason) {
    const Bytes deepPush = with(with(Bytes(16, 0xa4), 0, {0xa1, 0x01}), 18, {0xc0});
    EXPECT_TRUE(reportLengths(deepPush)) << "16 levels are fine";
    const Bytes malformed[] = {
        {},                                                                  // nothing at all
        {0xa1, 0x01, 0xc0, 0x05},                                            // item data cut off
        {0xa1, 0x01, 0xc0, 0x96, 0x01},                                      // two-byte item with one byte
        {0xa1, 0x01, 0xc0, 0x97, 0x01, 0x00, 0x00},                          // four-byte item with three
        {0xa1, 0x01, 0xc0, 0xfe, 0x05, 0x10, 0xaa},                          // long item cut off
        {0xa1, 0x01, 0xc0, 0xfe},                                            // long item header cut off
        {0xc0},                                                              // End Collection first
        {0xa1, 0x01, 0xa1, 0x00, 0xc0},                                      // Collection left open
        {0xa1, 0x01, 0x85, 0x00, 0xc0},                                      // report ID 0
        {0xa1, 0x01, 0x86, 0x00, 0x01, 0xc0},                                // report ID 256
        {0xa1, 0x01, 0xb4, 0xc0},                                            // Pop without Push
        {0xa1, 0x01, 0x76, 0x01, 0x01, 0xc0},                                // Report Size 257 bits
        {0xa1, 0x01, 0x96, 0x01, 0x30, 0xc0},                                // Report Count 12289
        {0xa1, 0x01, 0x76, 0x00, 0x01, 0x96, 0x00, 0x30, 0x81, 0x02, 0xc0},  // 393216 bytes
        with(deepPush, 2, {0xa4}),                                           // Push 17 deep
    };
    for (const Bytes& descriptor : malformed) {  // each in a buffer of its size, for the address sanitizer
        std::string error;
        EXPECT_TRUE(!reportLengths(descriptor, &error) && !error.empty()) << ::testing::PrintToString(descriptor);
    }
}

TEST(LinuxHidPlatform, OpenFailureHintIsPrintedOnceWithTheNodeTheReasonAndThePackagedUdevRule) {
    std::ostringstream out;
    OpenFailureHint hint(out);
    for (int vanished : {ENOENT, ENODEV, ENXIO}) hint.report("/dev/hidraw2", {0x057E, 0x0306}, vanished);
    EXPECT_EQ(out.str(), "");
    hint.report("/dev/hidraw3", {0x057E, 0x0306}, EACCES);
    hint.report("/dev/hidraw4", {0x057E, 0x0330}, EBUSY);
    EXPECT_EQ(out.str(), openFailureHintText("/dev/hidraw3", {0x057E, 0x0306}, EACCES)) << "the first only";
    std::ifstream rules(KINEMO_UDEV_RULES);
    int ruleLines = 0;
    for (std::string line; std::getline(rules, line); ruleLines += line.starts_with("SUBSYSTEM"))
        EXPECT_TRUE(!line.starts_with("SUBSYSTEM") || out.str().find(line) != std::string::npos) << line;
    EXPECT_EQ(ruleLines, 2);
}

TEST(LinuxHidPlatform, NodesAreOrderedByNumber) {
    std::vector<std::string> paths = {"/dev/hidraw10", "/dev/hidraw2", "/dev/hidraw1", "/dev/hidraw02", "/dev/hidraw"};
    std::sort(paths.begin(), paths.end(), hidPathLess);
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/hidraw", "/dev/hidraw1", "/dev/hidraw2", "/dev/hidraw02",
                                               "/dev/hidraw10"}));
}

// A node that opens but answers no request, as one whose remote has just gone or /dev/null
// listed as a remote: the search closes it and tries the next remote in number order. Nodes
// listed as other devices, or whose ids cannot be read, are not opened.
TEST(LinuxHidPlatform, ANodeThatOpensButRefusesItsFirstRequestIsClosedAndTheNextTried) {
    const auto root = std::filesystem::temp_directory_path() / ("kinemo-nodes-" + std::to_string(::getpid()));
    auto listAs = [&](const std::string& name, const std::string& uevent) {  // the node itself: a plain file
        std::filesystem::create_directories(root / "class/hidraw" / name / "device");
        std::filesystem::create_directories(root / "dev");
        if (!uevent.empty()) std::ofstream(root / "class/hidraw" / name / "device/uevent") << "A=b\n" << uevent << "\n";
        std::ofstream(root / "dev" / name) << "not a hidraw node";
    };
    listAs("hidraw10", "HID_ID=0005:0000057E:00000330");
    listAs("hidraw9", "HID_ID=0005:0000057E:00000306");
    listAs("hidraw1", "");
    listAs("hidraw2", "HID_ID=0003:0000046D:0000C077");
    listAs("hidraw3", "HID_ID=0005:0001057E:00000306");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(watch, (root / "dev").c_str(), IN_OPEN | IN_CLOSE);
    LinuxHidPlatform platform(std::cerr, root.string(), (root / "dev").string());
    EXPECT_FALSE(WiiRemote(platform).connect());
    std::vector<std::string> events;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length = ::read(watch, buffer, sizeof buffer), at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        events.push_back(std::string(event->mask & IN_OPEN ? "open " : "close ") + event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    ::close(watch);
    std::filesystem::remove_all(root);
    EXPECT_EQ(events, (std::vector<std::string>{"open hidraw9", "close hidraw9", "open hidraw10", "close hidraw10"}));
}

}  // namespace
}  // namespace kinemo
