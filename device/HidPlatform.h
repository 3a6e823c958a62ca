// The Wii Remote link reaches the operating system only through these two small
// interfaces, so the same WiiRemote logic runs on Linux hidraw, on the simulated
// remote and on the scripted fakes of the tests.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kinemo {

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool operator==(const HidAttributes&) const = default;
};

// "057E:0306": the ids as the kernel and udev write them.
std::string idsText(const HidAttributes& attributes);

// Report lengths in bytes, each counting the leading report-ID byte.
struct ReportLengths {
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
};

// One HID interface as the system lists it: the ids are known without opening it.
struct HidInterface {
    std::string path;
    HidAttributes attributes;
    bool operator==(const HidInterface&) const = default;
};

enum class ReadStatus {
    Report,       // one input report was taken
    NoneWaiting,  // the device's queue is empty right now
    Error,        // the device went away
};

// One opened HID interface. Destroying it closes it, so a handle can never be
// closed twice.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    virtual std::optional<HidAttributes> attributes() = 0;
    virtual std::optional<ReportLengths> reportLengths() = 0;
    // Blocking write of one whole output report. Returns false if it failed.
    virtual bool write(std::span<const std::uint8_t> report) = 0;
    // Takes one queued input report into `buffer` without waiting.
    virtual ReadStatus read(std::span<std::uint8_t> buffer) = 0;
};

// What an open gives: the device, or the errno that refused it.
struct HidOpenResult {
    std::unique_ptr<HidDevice> device;
    int error = 0;
};

// Whether an open's errno is something the user can fix (no access, a busy node),
// rather than the node having gone between the listing and the open.
bool isOpenObstacle(int error);

class HidPlatform {
public:
    virtual ~HidPlatform() = default;
    // The HID interfaces present now, in a stable order.
    virtual std::vector<HidInterface> enumerate() = 0;
    // Opens a path for reading and writing, shared.
    virtual HidOpenResult open(const std::string& path) = 0;
    // The pause that follows every search.
    virtual void pause(std::chrono::milliseconds duration) = 0;
};

// What a machine without a Wii Remote shows: no HID interfaces at all.
class NoHidPlatform final : public HidPlatform {
public:
    std::vector<HidInterface> enumerate() override { return {}; }
    HidOpenResult open(const std::string&) override { return {nullptr, ENOENT}; }
    void pause(std::chrono::milliseconds duration) override;
};

}  // namespace kinemo
