#include "device/ReportDescriptor.h"
#include "tests/device/DescriptorFixture.h"

#include <gtest/gtest.h>

#include <random>

namespace kinemo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes wiiRemoteDescriptor() { return test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt"); }

void expectLengths(const Bytes& descriptor, std::uint16_t input, std::uint16_t output) {
    std::string error;
    const auto lengths = reportLengths(descriptor, &error);
    ASSERT_TRUE(lengths) << error;
    EXPECT_EQ(lengths->inputReportByteLength, input);
    EXPECT_EQ(lengths->outputReportByteLength, output);
}

TEST(ReportDescriptor, WiiRemoteGives22And22WithOrWithoutTheTrailingZero) {
    Bytes descriptor = wiiRemoteDescriptor();
    ASSERT_EQ(descriptor.size(), 217u);
    expectLengths(descriptor, 22, 22);
    descriptor.push_back(0x00);
    expectLengths(descriptor, 22, 22);
}

TEST(ReportDescriptor, UnnumberedReportsStillCountTheReportIdByte) {
    const Bytes bootMouse = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x09, 0x01, 0xa1, 0x00, 0x05, 0x09, 0x19,
                             0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
                             0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15,
                             0x81, 0x25, 0x7f, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xc0, 0xc0};
    expectLengths(bootMouse, 4, 0);  // 3 data bytes, no output reports at all

    const Bytes bootKeyboard = {0x05, 0x01, 0x09, 0x06, 0xa1, 0x01, 0x05, 0x07, 0x19, 0xe0, 0x29, 0xe7, 0x15,
                                0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08,
                                0x81, 0x01, 0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91,
                                0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06, 0x75, 0x08, 0x15, 0x00,
                                0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xc0};
    expectLengths(bootKeyboard, 9, 2);  // 8 bytes in, the LED byte out
}

TEST(ReportDescriptor, WideFieldsSeveralCollectionsAndPushPop) {
    const Bytes descriptor = {
        0x05, 0x01, 0x09, 0x04, 0xa1, 0x01,        // joystick
        0x85, 0x01,                                // report 1
        0xa1, 0x00,                                //   nested collection
        0x75, 0x10, 0x95, 0x03, 0x81, 0x02,        //   3 x 16 bits
        0x75, 0x0c, 0x95, 0x03, 0x81, 0x02,        //   3 x 12 bits: 84 bits so far
        0xc0,                                      //
        0xa4,                                      // push (report 1, 12 x 3)
        0x85, 0x02, 0x75, 0x20,                    // report 2, 32-bit fields,
        0x97, 0x02, 0x00, 0x00, 0x00, 0x91, 0x02,  //   count as a 4-byte item: 8 bytes out
        0xb4,                                      // pop: report 1, 12 x 3 again
        0x81, 0x02,                                // report 1 grows to 120 bits = 15 bytes
        0xc0,                                      //
        0x05, 0x0c, 0x09, 0x01, 0xa1, 0x01,        // consumer control
        0x85, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00,  // report 3: 2 bytes in
        0x85, 0x04, 0x75, 0x08, 0x95, 0x1e, 0x91, 0x02,  // report 4: 30 bytes out
        0x85, 0x05, 0x75, 0x08, 0x95, 0x40, 0xb1, 0x02,  // feature reports do not count
        0xc0};
    expectLengths(descriptor, 16, 31);
}

TEST(ReportDescriptor, LongItemsAreSkipped) {
    Bytes descriptor = wiiRemoteDescriptor();
    const Bytes longItem = {0xfe, 0x03, 0xf0, 0x85, 0x95, 0x81};  // its data would be items if read
    descriptor.insert(descriptor.begin() + 6, longItem.begin(), longItem.end());
    expectLengths(descriptor, 22, 22);

    const Bytes empty = {0xa1, 0x01, 0xfe, 0x00, 0xf0, 0xc0};
    expectLengths(empty, 0, 0);
}

TEST(ReportDescriptor, MalformedDescriptorsFail) {
    const std::vector<Bytes> malformed = {
        {},                                                    // nothing at all
        {0x05, 0x01, 0x09},                                    // item data cut off
        {0xa1, 0x01, 0x96, 0x01},                              // two-byte item with one byte
        {0xa1, 0x01, 0x97, 0x01, 0x00, 0x00},                  // four-byte item with three bytes
        {0xa1, 0x01, 0xc0, 0xfe, 0x05, 0x10, 0xaa},            // long item cut off
        {0xa1, 0x01, 0xc0, 0xfe},                              // long item header cut off
        {0xc0},                                                // End Collection first
        {0xa1, 0x01, 0xa1, 0x00, 0xc0},                        // Collection left open
        {0xa1, 0x01, 0x85, 0x00, 0xc0},                        // report ID 0
        {0xa1, 0x01, 0x86, 0x00, 0x01, 0xc0},                  // report ID 256
        {0xa1, 0x01, 0xb4, 0xc0},                              // Pop without Push
        {0xa1, 0x01, 0x76, 0x01, 0x01, 0xc0},                  // Report Size 257 bits
        {0xa1, 0x01, 0x96, 0x01, 0x30, 0xc0},                  // Report Count 12289
        {0xa1, 0x01, 0x76, 0x00, 0x01, 0x96, 0x00, 0x30, 0x81, 0x02, 0xc0},  // 393216 bytes
    };
    for (const Bytes& descriptor : malformed) {
        std::string error;
        EXPECT_FALSE(reportLengths(descriptor, &error)) << ::testing::PrintToString(descriptor);
        EXPECT_FALSE(error.empty());
    }

    Bytes deepPush = {0xa1, 0x01};
    deepPush.insert(deepPush.end(), 17, 0xa4);
    deepPush.push_back(0xc0);
    EXPECT_FALSE(reportLengths(deepPush));
    deepPush.erase(deepPush.begin() + 2);  // 16 levels are fine
    EXPECT_TRUE(reportLengths(deepPush));
}

TEST(ReportDescriptor, NeverReadsPastTheEndOfAnyInput) {
    // The remote's descriptor cut short anywhere after its Collection item leaves the
    // collection open.
    const Bytes descriptor = wiiRemoteDescriptor();
    for (std::size_t n = 6; n < descriptor.size(); ++n) {
        const Bytes prefix(descriptor.begin(), descriptor.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(reportLengths(prefix)) << n;
    }
    // Random bytes and randomly damaged descriptors, each in a buffer of its exact
    // size, so that the address sanitizer sees any read beyond it.
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes;
        if (round % 2 == 0) {
            bytes.resize(random() % 48);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        } else {
            bytes = descriptor;
            for (int flips = 0; flips < 4; ++flips) bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            bytes.resize(random() % (bytes.size() + 1));
        }
        Bytes exact(bytes);
        exact.shrink_to_fit();
        const auto lengths = reportLengths(exact);
        if (lengths) {
            EXPECT_LE(lengths->inputReportByteLength, 0xFFFF);
        }
    }
}

}  // namespace
}  // namespace kinemo
