// The part of the Wii Remote's protocol this program speaks, defined once: the
// remote, the simulated remote and the tests' fakes build and read their reports
// from these bytes.
#pragma once

#include "device/HidPlatform.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace kinemo {

inline constexpr std::uint16_t kNintendoVendorId = 0x057E;
inline constexpr std::uint16_t kWiiRemoteProductId = 0x0306;
inline constexpr std::uint16_t kWiiRemotePlusProductId = 0x0330;

constexpr bool isWiiRemote(const HidAttributes& attributes) {
    return attributes.vendorId == kNintendoVendorId &&
           (attributes.productId == kWiiRemoteProductId || attributes.productId == kWiiRemotePlusProductId);
}

// Output report "data reporting mode": 0x12, flags, the input report wanted.
inline constexpr std::uint8_t kReportModeRequest = 0x12;
inline constexpr std::uint8_t kContinuousFlag = 0x04;  // without it a report comes only when the data change

// Input reports. 0x31 carries X, Y, Z in bytes 3, 4, 5 (after the report ID and two
// bytes of buttons); asking for mode 0x31 asks for it.
inline constexpr std::uint8_t kAccelerometerReportId = 0x31;
inline constexpr std::size_t kAccelerometerFirstByte = 3;
inline constexpr std::uint8_t kStatusReportId = 0x20;
inline constexpr std::uint8_t kAcknowledgeReportId = 0x22;

enum class ReportDelivery {
    Continuous,  // one report every 10 ms
    OnChange,    // a report only when the data change
};

// The leading bytes of the output report that asks for accelerometer reports; the
// rest of the report is zeros.
constexpr std::array<std::uint8_t, 3> accelerometerModeRequest(ReportDelivery delivery) {
    const std::uint8_t flags = delivery == ReportDelivery::Continuous ? kContinuousFlag : std::uint8_t{0};
    return {kReportModeRequest, flags, kAccelerometerReportId};
}

}  // namespace kinemo
