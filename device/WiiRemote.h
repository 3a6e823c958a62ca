// The program's one connection to a Wii Remote. It finds the remote among the
// present HID interfaces, asks it for accelerometer reports and decodes them.
#pragma once

#include "core/Sample.h"
#include "device/HidPlatform.h"
#include "device/WiiRemoteProtocol.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kinemo {

inline constexpr auto kSearchPause = std::chrono::milliseconds(200);

// A Wii Remote that the last search found listed but could not open, for a reason
// the user can fix: the node and the open's errno.
struct OpenObstacle {
    std::string path;
    HidAttributes attributes;
    int error = 0;
    bool operator==(const OpenObstacle&) const = default;
};

class WiiRemote {
public:
    explicit WiiRemote(HidPlatform& platform);
    ~WiiRemote();
    WiiRemote(const WiiRemote&) = delete;
    WiiRemote& operator=(const WiiRemote&) = delete;

    // Asks for accelerometer reports from now on (the request is sent again on every
    // exchange), exchanges reports and tells whether a remote is connected afterwards.
    // Until the first call the output report is all zeros.
    bool requestAccelerometerReports(ReportDelivery delivery);
    // Exchanges reports and hands out X, Y, Z of the newest decoded report.
    void readAcceleration(AccTriple& values);
    // Drops any earlier connection, searches the present interfaces and opens the
    // first Wii Remote. Only interfaces listed with a Wii Remote's ids are opened.
    bool connect();

    bool isConnected() const { return isConnected_; }
    const std::string& devicePath() const { return devicePath_; }
    // The connected remote's ids (0306 or 0330).
    HidAttributes attributes() const { return attributes_; }
    // Whether the connected remote has sent an accelerometer report yet: until then
    // the triple handed out is no measurement.
    bool hasReading() const { return hasReading_; }
    // Set by a search that connected nothing because a remote it found refused the
    // open; the first such remote of the search.
    const std::optional<OpenObstacle>& obstacle() const { return obstacle_; }

private:
    void exchangeReports();
    bool readReportLengths(HidDevice& device);
    void sendReportMode();
    void receiveReports();
    void disconnect();

    HidPlatform& platform_;
    std::unique_ptr<HidDevice> device_;
    ReportLengths reportLengths_{};
    std::string devicePath_;
    bool isConnected_ = false;
    bool hasReading_ = false;
    HidAttributes attributes_{};
    std::optional<OpenObstacle> obstacle_;
    std::array<std::uint8_t, 256> outputReport_{};
    AccTriple acc_{};
    // Sized once per connection, so a tick allocates nothing.
    std::vector<std::uint8_t> inputReport_;
};

}  // namespace kinemo
