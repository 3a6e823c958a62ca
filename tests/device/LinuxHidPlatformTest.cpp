#include "device/LinuxHidPlatform.h"
#include "device/WiiRemote.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/inotify.h>
#include <unistd.h>

namespace kinemo {
namespace {

// A node that opens but answers no request, as one whose remote has just gone or /dev/null listed
// as a remote: the search closes it and tries the next remote in number order. Nodes listed as
// other devices, or whose ids cannot be read, are not opened; both models count, on either bus.
TEST(LinuxHidPlatform, ANodeThatOpensButRefusesItsFirstRequestIsClosedAndTheNextTried) {
    const auto root = std::filesystem::temp_directory_path() / ("kinemo-nodes-" + std::to_string(::getpid()));
    auto listAs = [&](const std::string& name, const std::string& uevent) {  // the node itself: a plain file
        std::filesystem::create_directories(root / "class/hidraw" / name / "device");
        std::filesystem::create_directories(root / "dev");
        if (!uevent.empty()) std::ofstream(root / "class/hidraw" / name / "device/uevent") << "A=b\n" << uevent << "\n";
        std::ofstream(root / "dev" / name) << "not a hidraw node";
    };
    listAs("hidraw10", "HID_ID=0003:0000057E:00000330");
    listAs("hidraw9", "HID_ID=0005:0000057E:00000306");
    listAs("hidraw1", "");
    listAs("hidraw2", "HID_ID=0005:0000046D:00000306");
    listAs("hidraw3", "HID_ID=0005:0001057E:00000306");
    listAs("hidraw4", "HID_ID=0005:0000057E:00000337");
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(watch, (root / "dev").c_str(), IN_OPEN | IN_CLOSE);
    LinuxHidPlatform platform(std::cerr, root.string(), (root / "dev").string());
    EXPECT_FALSE(WiiRemote(platform).connect());
    std::vector<std::string> events;
    alignas(inotify_event) char buffer[4096];
    const ssize_t length = ::read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        events.push_back(std::string(event->mask & IN_OPEN ? "open " : "close ") + event->name);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    ::close(watch);
    std::filesystem::remove_all(root);
    EXPECT_EQ(events, (std::vector<std::string>{"open hidraw9", "close hidraw9", "open hidraw10", "close hidraw10"}));
}

}  // namespace
}  // namespace kinemo
