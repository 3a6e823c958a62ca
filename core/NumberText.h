// Numbers as the program shows and saves them: up to 7 significant digits for
// 32-bit floats, 15 for doubles, a point as decimal separator whatever the locale,
// no leading blank, no trailing zeros, whole numbers without a point.
#pragma once

#include <cstdint>
#include <string>

namespace kinemo {

// What a readout shows where it has no value to show.
inline constexpr const char* kNoValueText = "---";

std::string floatText(float value);
std::string doubleText(double value);

// The sampling rate of a sample period: floor(1000 / period) / 10 as a 32-bit float,
// followed by " HZ". A period that is zero, negative or not a number shows "--- HZ".
std::string rateText(float samplePeriod);

// A raw acceleration byte in G, rounded down to hundredths: 131 "0", 104 "1",
// 132 "-0.04", 0 "4.85".
std::string gText(std::uint8_t raw);

}  // namespace kinemo
