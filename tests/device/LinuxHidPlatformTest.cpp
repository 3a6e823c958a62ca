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

namespace fs = std::filesystem;

TEST(OpenFailureHint, NamesTheNodeTheReasonAndTheFixAndIsPrintedOnce) {
    std::ostringstream out;
    OpenFailureHint hint(out);
    hint.report("/dev/hidraw2", {0x057E, 0x0306}, ENOENT);  // gone meanwhile: not present
    EXPECT_FALSE(hint.printed());
    EXPECT_TRUE(out.str().empty());
    hint.report("/dev/hidraw3", {0x057E, 0x0306}, EACCES);
    const std::string first = out.str();
    EXPECT_TRUE(hint.printed());
    EXPECT_NE(first.find("/dev/hidraw3"), std::string::npos);
    EXPECT_NE(first.find(std::strerror(EACCES)), std::string::npos);
    EXPECT_NE(first.find("057E:0306"), std::string::npos);
    EXPECT_NE(first.find("/etc/udev/rules.d"), std::string::npos);
    EXPECT_NE(first.find("udevadm control --reload"), std::string::npos);
    EXPECT_NE(first.find("udevadm trigger"), std::string::npos);

    hint.report("/dev/hidraw4", {0x057E, 0x0330}, EBUSY);
    EXPECT_EQ(out.str(), first) << "the hint is given once";
}

TEST(OpenFailureHint, QuotesThePackagedUdevRuleWordForWord) {
    std::ifstream rules(KINEMO_UDEV_RULES);
    ASSERT_TRUE(rules);
    const std::string hint = openFailureHintText("/dev/hidraw0", {0x057E, 0x0306}, EACCES);
    int ruleLines = 0;
    std::string line;
    while (std::getline(rules, line)) {
        if (line.empty() || line[0] == '#') continue;
        ++ruleLines;
        EXPECT_NE(hint.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(ruleLines, 2);
}

TEST(LinuxHidPlatform, UnknownPathOpensNothingAndGivesNoHint) {
    std::ostringstream out;
    LinuxHidPlatform platform(out);
    const auto paths = platform.enumerate();
    EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end(), hidPathLess));
    EXPECT_EQ(platform.open("/dev/kinemo-no-such-hidraw"), nullptr);
    EXPECT_TRUE(out.str().empty());
}

TEST(LinuxHidPlatform, NodesAreOrderedByNumber) {
    std::vector<std::string> paths = {"/dev/hidraw10", "/dev/hidraw2", "/dev/hidraw1", "/dev/hidraw0",
                                      "/dev/hidraw02", "/dev/hidraw"};
    std::sort(paths.begin(), paths.end(), hidPathLess);
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/hidraw", "/dev/hidraw0", "/dev/hidraw1", "/dev/hidraw2",
                                               "/dev/hidraw02", "/dev/hidraw10"}));
}

class FakeSysfs : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("kinemo-sysfs-" + std::to_string(::getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void addNode(const std::string& node, const std::vector<std::uint8_t>& descriptor) {
        const fs::path dir = root_ / "class" / "hidraw" / node / "device";
        fs::create_directories(dir);
        std::ofstream(dir / "report_descriptor", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
    }

    fs::path root_;
};

TEST_F(FakeSysfs, ReportLengthsComeFromTheNodesDescriptor) {
    addNode("hidraw5", test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt"));
    addNode("hidraw6", {0xa1, 0x01});  // malformed
    const auto lengths = hidrawReportLengths("/dev/hidraw5", root_.string());
    ASSERT_TRUE(lengths);
    EXPECT_EQ(lengths->inputReportByteLength, 22);
    EXPECT_EQ(lengths->outputReportByteLength, 22);
    EXPECT_FALSE(hidrawReportLengths("/dev/hidraw6", root_.string()));
    EXPECT_FALSE(hidrawReportLengths("/dev/hidraw7", root_.string()));
    EXPECT_FALSE(hidrawReportLengths("/dev/", root_.string()));
}

}  // namespace
}  // namespace kinemo
