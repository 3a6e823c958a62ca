// The report lengths of a HID device, computed from its report descriptor.
//
// hidraw does not tell how long a device's reports are, but it hands out the
// device's report descriptor, and that is all it takes:
// the longest input and the longest output report, each counting the one report-ID
// byte in front (which is 0 and not sent on the wire by a device that numbers no
// reports). The parser reads any byte string without trusting it.
#pragma once

#include "device/HidPlatform.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kinemo {

// The longest input report and the longest output report in bytes, report-ID byte
// included; 0 for a kind of report the device does not have. Empty for a malformed
// descriptor, with the reason in `error` when one is given.
std::optional<ReportLengths> reportLengths(std::span<const std::uint8_t> descriptor, std::string* error = nullptr);

}  // namespace kinemo
