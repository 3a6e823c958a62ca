// Reading and writing whole data files. A save goes to a temporary file in the
// target's folder that replaces the target only once it is complete, so a failed
// save never leaves an existing file truncated or a half-written one behind.
// Errors come back as the system's own text. QtCore only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace kinemo {

// A data file is some 30 KB; refusing anything far larger keeps a wrongly chosen
// disk image or video from being read into memory whole.
inline constexpr std::int64_t kMaxReadBytes = 16 * 1024 * 1024;

// Empty on success, otherwise the reason. `path` is UTF-8.
std::optional<std::string> saveFileAtomically(const std::string& path, std::string_view bytes);

struct ReadFailure {
    std::string reason;
};

// The whole content of the file at `path` (UTF-8), or why it could not be read.
std::variant<std::string, ReadFailure> readWholeFile(const std::string& path, std::int64_t maxBytes = kMaxReadBytes);

}  // namespace kinemo
