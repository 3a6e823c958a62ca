#include "device/ReportDescriptor.h"
#include "tests/device/DescriptorFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace kinemo {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes wiiRemote = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt");

Bytes with(Bytes bytes, std::ptrdiff_t at, const Bytes& inserted) {
    bytes.insert(bytes.begin() + at, inserted.begin(), inserted.end());
    return bytes;
}

TEST(ReportDescriptor, LongestInputAndOutputReportCountingTheReportIdByte) {
    const Bytes wideFields = {
        0x05, 0x01, 0x09, 0x04, 0xa1, 0x01,              // joystick
        0x85, 0x01, 0xa1, 0x00,                          // report 1, nested collection:
        0x75, 0x10, 0x95, 0x03, 0x81, 0x02,              //   3 x 16 bits
        0x75, 0x0c, 0x95, 0x03, 0x81, 0x02, 0xc0,        //   3 x 12 bits: 84 bits so far
        0xa4, 0x85, 0x02, 0x75, 0x20,                    // push; report 2, 32-bit fields,
        0x97, 0x02, 0x00, 0x00, 0x00, 0x91, 0x02,        //   count as a 4-byte item: 8 bytes out
        0xb4, 0x81, 0x02, 0xc0,                          // pop: report 1, 3 x 12 more = 15 bytes
        0x05, 0x0c, 0x09, 0x01, 0xa1, 0x01,              // consumer control
        0x85, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00,  // report 3: 2 bytes in
        0x85, 0x04, 0x75, 0x08, 0x95, 0x1e, 0x91, 0x02,  // report 4: 30 bytes out
        0x85, 0x05, 0x75, 0x08, 0x95, 0x40, 0xb1, 0x02,  // feature reports do not count
        0xc0};
    const struct {
        const char* what;
        Bytes descriptor;
        std::uint16_t input, output;
    } cases[] = {
        {"Wii Remote", wiiRemote, 22, 22},
        {"Wii Remote with a trailing 0x00", with(wiiRemote, std::ssize(wiiRemote), {0x00}), 22, 22},
        {"long item, data like items", with(wiiRemote, 6, {0xfe, 0x03, 0xf0, 0x85, 0x95, 0x81}), 22, 22},
        {"empty long item, no reports", {0xa1, 0x01, 0xfe, 0x00, 0xf0, 0xc0}, 0, 0},
        {"no report IDs: 19 bits in, 5 out, rounded up to bytes",
         {0xa1, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0x95, 0x05, 0x75,
          0x01, 0x91, 0x02, 0xc0},
         4, 2},
        {"wide fields, several collections, push and pop", wideFields, 16, 31},
    };
    ASSERT_EQ(wiiRemote.size(), 217u);
    for (const auto& c : cases) {
        std::string error;
        const auto lengths = reportLengths(c.descriptor, &error);
        ASSERT_TRUE(lengths) << c.what << ": " << error;
        EXPECT_EQ(lengths->inputReportByteLength, c.input) << c.what;
        EXPECT_EQ(lengths->outputReportByteLength, c.output) << c.what;
    }
}

TEST(ReportDescriptor, MalformedDescriptorsFailWithAReason) {
    Bytes deepPush = {0xa1, 0x01};
    deepPush.insert(deepPush.end(), 16, 0xa4);
    deepPush.push_back(0xc0);
    EXPECT_TRUE(reportLengths(deepPush)) << "16 levels are fine";

    const Bytes malformed[] = {
        {},                                                                  // nothing at all
        {0x05, 0x01, 0x09},                                                  // item data cut off
        {0xa1, 0x01, 0x96, 0x01},                                            // two-byte item with one byte
        {0xa1, 0x01, 0x97, 0x01, 0x00, 0x00},                                // four-byte item with three
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
    for (const Bytes& descriptor : malformed) {
        std::string error;
        EXPECT_FALSE(reportLengths(descriptor, &error)) << ::testing::PrintToString(descriptor);
        EXPECT_FALSE(error.empty());
    }
}

TEST(ReportDescriptor, NeverReadsPastTheEndOfAnyInput) {
    // Cut short anywhere after its Collection item, the remote's descriptor leaves it open.
    for (std::ptrdiff_t n = 6; n < std::ssize(wiiRemote); ++n) {
        EXPECT_FALSE(reportLengths(Bytes(wiiRemote.begin(), wiiRemote.begin() + n))) << n;
    }
    // Random bytes and randomly damaged descriptors, each in a buffer of its exact
    // size, so that the address sanitizer sees any read beyond it.
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes = wiiRemote;
        if (round % 2 == 0) {
            bytes.resize(random() % 48);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        } else {
            for (int flip = 0; flip < 4; ++flip) bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            bytes.resize(random() % (bytes.size() + 1));
        }
        const Bytes exact(bytes);
        std::string error;
        const bool parsed = reportLengths(exact, &error).has_value();
        EXPECT_EQ(parsed, error.empty()) << "a failure gives a reason: " << error;
    }
}

}  // namespace
}  // namespace kinemo
