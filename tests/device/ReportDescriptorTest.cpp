#include "device/ReportDescriptor.h"
#include "tests/support/FakeHidPlatform.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::Bytes;

const Bytes wiiRemote = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt");

Bytes with(Bytes bytes, std::ptrdiff_t at, const Bytes& inserted) {
    bytes.insert(bytes.begin() + at, inserted.begin(), inserted.end());
    return bytes;
}

const Bytes deepPush = with(with(Bytes(16, 0xa4), 0, {0xa1, 0x01}), 18, {0xc0});  // 16 levels

TEST(ReportDescriptor, TheLongestReportsAreCountedWithTheReportIdByte) {
    const struct {
        const char* what;
        Bytes descriptor;
        std::uint16_t input;
        std::uint16_t output;
    } cases[] = {
        {"Wii Remote with a trailing 0x00", with(wiiRemote, std::ssize(wiiRemote), {0x00}), 22, 22},
        {"long item, data like items", with(wiiRemote, 6, {0xfe, 0x03, 0xf0, 0xc0, 0xc0, 0xc0}), 22, 22},
        {"no report IDs: 19 bits in, 5 out, rounded up to bytes",
         {0xa1, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x75, 0x08, 0x95,
          0x02, 0x81, 0x06, 0x95, 0x05, 0x75, 0x01, 0x91, 0x02, 0xc0},
         4,
         2},
        {"push 16 deep", deepPush, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        const auto lengths = reportLengths(c.descriptor, &error);
        ASSERT_TRUE(lengths) << error;
        EXPECT_EQ(lengths->inputReportByteLength, c.input);
        EXPECT_EQ(lengths->outputReportByteLength, c.output);
    }
}

TEST(ReportDescriptor, AMalformedDescriptorIsRefusedWithAReason) {
    const Bytes malformed[] = {
        {},                                                                  // nothing at all
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
        SCOPED_TRACE(::testing::PrintToString(descriptor));
        std::string error;
        EXPECT_FALSE(reportLengths(descriptor, &error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace kinemo
