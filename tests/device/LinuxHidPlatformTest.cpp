#include "device/LinuxHidPlatform.h"
#include "tests/device/DescriptorFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kinemo {
namespace {

TEST(OpenFailureHint, IsPrintedOnceWithTheNodeTheReasonAndThePackagedUdevRule) {
    std::ostringstream out;
    OpenFailureHint hint(out);
    for (int vanished : {ENOENT, ENODEV, ENXIO}) hint.report("/dev/hidraw2", {0x057E, 0x0306}, vanished);
    EXPECT_FALSE(hint.printed());
    EXPECT_EQ(out.str(), "");
    hint.report("/dev/hidraw3", {0x057E, 0x0306}, EACCES);
    hint.report("/dev/hidraw4", {0x057E, 0x0330}, EBUSY);
    EXPECT_TRUE(hint.printed());
    const std::string text = out.str();
    EXPECT_EQ(text, openFailureHintText("/dev/hidraw3", {0x057E, 0x0306}, EACCES)) << "the first only";
    for (const char* part : {"/dev/hidraw3,", static_cast<const char*>(std::strerror(EACCES)), "057E:0306",
                             "/etc/udev/rules.d/", "udevadm control --reload", "udevadm trigger"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    std::ifstream rules(KINEMO_UDEV_RULES);
    int ruleLines = 0;
    for (std::string line; std::getline(rules, line);) {
        if (line.empty() || line[0] == '#') continue;
        ++ruleLines;
        EXPECT_NE(text.find(line), std::string::npos) << "the packaged rule word for word: " << line;
    }
    EXPECT_EQ(ruleLines, 2);
}

TEST(LinuxHidPlatform, NodesAreOrderedByNumber) {
    std::vector<std::string> paths = {"/dev/hidraw10", "/dev/hidraw2", "/dev/hidraw1",
                                      "/dev/hidraw0",  "/dev/hidraw02", "/dev/hidraw"};
    std::sort(paths.begin(), paths.end(), hidPathLess);
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/hidraw", "/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2",
                                               "/dev/hidraw02", "/dev/hidraw10"}));
}

TEST(LinuxHidPlatform, ReportLengthsComeFromTheNodesDescriptorInSysfs) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("kinemo-sysfs-" + std::to_string(::getpid()));
    auto addNode = [&](const std::string& node, const std::vector<std::uint8_t>& descriptor) {
        const fs::path dir = root / "class/hidraw" / node / "device";
        fs::create_directories(dir);
        std::ofstream(dir / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()), std::ssize(descriptor));
    };
    addNode("hidraw5", test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt"));
    addNode("hidraw6", {0xa1, 0x01});  // malformed
    const auto lengths = hidrawReportLengths("/dev/hidraw5", root.string());
    EXPECT_TRUE(lengths && lengths->inputReportByteLength == 22 && lengths->outputReportByteLength == 22);
    EXPECT_FALSE(hidrawReportLengths("/dev/hidraw6", root.string()));
    EXPECT_FALSE(hidrawReportLengths("/dev/hidraw7", root.string()));
    EXPECT_FALSE(hidrawReportLengths("/dev/", root.string()));
    fs::remove_all(root);
}

}  // namespace
}  // namespace kinemo
