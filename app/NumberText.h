// Numbers as the program shows and saves them: up to 7 significant digits for
// 32-bit floats, 15 for doubles, a point as decimal separator whatever the locale,
// no leading blank, no trailing zeros, whole numbers without a point.
#pragma once

#include <string>

namespace kinemo {

std::string floatText(float value);
std::string doubleText(double value);

}  // namespace kinemo
