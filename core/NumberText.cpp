#include "core/NumberText.h"

#include "core/Sample.h"

#include <charconv>
#include <cmath>

namespace kinemo {

namespace {
std::string generalText(double value, int significantDigits) {
    if (value == 0) value = 0;  // no "-0"
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, significantDigits);
    return std::string(buf, result.ptr);
}
}  // namespace

std::string floatText(float value) { return generalText(value, 7); }
std::string doubleText(double value) { return generalText(value, 15); }

std::string rateText(float samplePeriod) {
    const double r = std::floor(1000.0 / static_cast<double>(samplePeriod)) / 10.0;
    if (!(samplePeriod > 0) || !std::isfinite(r)) return std::string(kNoValueText) + " HZ";
    return floatText(static_cast<float>(r)) + " HZ";
}

std::string gText(std::uint8_t raw) {
    const int v = (kZeroLevel - raw) * 100;
    const double q = v / static_cast<double>(kCountsPerG);
    return doubleText(std::floor(q) / 100.0);
}

}  // namespace kinemo
