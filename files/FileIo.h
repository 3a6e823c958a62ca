// Reading and writing whole data files, with POSIX calls so that every short
// write, full disk and size limit is seen.
//
// A save writes the new content into an unnamed file in the target's folder,
// flushes it to the disk and only then gives it a name and renames it over the
// target: the target is either the old file, untouched, or the complete new one,
// and no temporary file outlives the save. A new target takes the unnamed file's
// name at once; over an old one, a child process names and renames, so a save
// killed half-way leaves at most the unnamed file, which the system reclaims.
// Where the file system has no unnamed files, a named temporary file takes its
// place and is removed on every failure.
//
// Only regular files are read or replaced: a pipe, a device or a socket is refused
// at once rather than waited on. Errors come back as the system's own text.
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

// A write beyond the file-size limit (RLIMIT_FSIZE) raises SIGXFSZ, which ends the
// process, and an unsaved run with it. Ignored, the write fails with EFBIG and
// the save reports it. Call once at start-up.
void ignoreFileSizeSignal();

}  // namespace kinemo
