// The program's one connection to a Wii Remote. It finds the remote among
// the present HID interfaces, asks it for continuous reports (output report 0x12)
// and decodes the accelerometer bytes of input report 0x31.
#pragma once

#include "core/Sample.h"
#include "device/HidPlatform.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kinemo {

inline constexpr std::uint16_t kNintendoVendorId = 0x057E;
inline constexpr std::uint16_t kWiiRemoteProductId = 0x0306;
inline constexpr std::uint16_t kWiiRemotePlusProductId = 0x0330;
inline constexpr std::uint8_t kAccelerometerReportId = 0x31;
inline constexpr auto kSearchPause = std::chrono::milliseconds(200);

class WiiRemote {
public:
    explicit WiiRemote(HidPlatform& platform);
    ~WiiRemote();
    WiiRemote(const WiiRemote&) = delete;
    WiiRemote& operator=(const WiiRemote&) = delete;

    // Stores the three bytes at the front of the output report, exchanges reports
    // and tells whether a remote is connected afterwards.
    bool setReportMode(std::uint8_t reportId, std::uint8_t flags, std::uint8_t mode);
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
    HidCaps caps() const { return caps_; }

private:
    void exchangeReports();
    bool readReportLengths(HidDevice& device);
    void sendReportMode();
    void receiveReports();
    void disconnect();

    HidPlatform& platform_;
    std::unique_ptr<HidDevice> device_;
    HidCaps caps_{};
    std::string devicePath_;
    bool isConnected_ = false;
    bool hasReading_ = false;
    HidAttributes attributes_{};
    std::array<std::uint8_t, 256> outputReport_{};
    std::array<std::uint8_t, 4> accBytes_{};
    // Sized once per connection, so a tick allocates nothing.
    std::vector<std::uint8_t> inputReport_;
};

bool isWiiRemote(const HidAttributes& attributes);

}  // namespace kinemo
