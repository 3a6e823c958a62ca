// The application's title and version, as the caption, the About window and the
// message boxes show them.
#pragma once

#include <string>

namespace kinemo {

inline constexpr const char* kAppTitle = "Kinemo";
inline constexpr int kVersionMajor = KINEMO_VERSION_MAJOR;
inline constexpr int kVersionMinor = KINEMO_VERSION_MINOR;
inline constexpr int kVersionRevision = KINEMO_VERSION_PATCH;

inline std::string versionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

}  // namespace kinemo
