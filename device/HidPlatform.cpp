#include "device/HidPlatform.h"

#include <cstdio>
#include <thread>

namespace kinemo {

void NoHidPlatform::pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

std::string idsText(const HidAttributes& attributes) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X:%04X", attributes.vendorId, attributes.productId);
    return text;
}

bool isOpenObstacle(int error) { return error != 0 && error != ENOENT && error != ENODEV && error != ENXIO; }

}  // namespace kinemo
