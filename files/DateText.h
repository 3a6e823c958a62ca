// The date text of a data file in UTF-8. Files written on Japanese Windows hold it
// in CP932, so text that is not valid UTF-8 is read as CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kinemo {

// Empty when the bytes are neither valid UTF-8 nor valid CP932.
std::optional<std::string> dateTextToUtf8(std::string_view bytes);

}  // namespace kinemo
