// A scripted HID platform: devices with report queues, written reports recorded,
// opens and closes counted, the search pause recorded instead of slept.
#pragma once

#include "device/HidPlatform.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kinemo::test {

struct FakeDeviceState {
    std::string path;
    bool openable = true;
    bool attributesReadable = true;
    bool capsReadable = true;
    HidAttributes attributes{};
    HidAttributes listedAs{};  // what the enumeration says: `attributes` unless changed
    HidCaps caps{22, 22};
    // What read() yields, front first; then NoneWaiting. With `alwaysReport` set,
    // `repeatedReport` is waiting once after every write, as with a remote that
    // streams in step with the tick.
    std::deque<std::vector<std::uint8_t>> inputQueue;
    bool alwaysReport = false;
    bool repeatedTaken = false;
    std::vector<std::uint8_t> repeatedReport;
    bool failNextRead = false;  // the next read says the device went away
    std::vector<std::vector<std::uint8_t>> written;
    int opens = 0;
    int closes = 0;
};

class FakeHidPlatform final : public HidPlatform {
public:
    // Adds a device at the end of the enumeration order.
    FakeDeviceState& addDevice(const std::string& path, std::uint16_t vendor, std::uint16_t product);
    FakeDeviceState& addWiiRemote(const std::string& path = "/dev/hidraw0");
    FakeDeviceState& device(const std::string& path);
    void removeDevice(const std::string& path);

    std::vector<HidInterface> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void pause(std::chrono::milliseconds duration) override;

    int enumerations = 0;
    std::vector<std::chrono::milliseconds> pauses;

private:
    std::vector<std::string> order_;
    std::map<std::string, std::shared_ptr<FakeDeviceState>> devices_;
};

// A 0x31 report: buttons zero, then X, Y, Z, padded with zeros to `length`.
std::vector<std::uint8_t> accReport(std::uint8_t x, std::uint8_t y, std::uint8_t z, std::size_t length = 22,
                                    std::uint8_t reportId = 0x31);

// The output report that asks for accelerometer reports 0x31: 0x12, flags, 0x31, zeros.
std::vector<std::uint8_t> modeRequest(std::uint8_t flags, std::size_t length = 22);

}  // namespace kinemo::test
