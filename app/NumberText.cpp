#include "app/NumberText.h"

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

}  // namespace kinemo
