// An emulated HID device made through /dev/uhid, for the test that runs the real
// kernel HID stack in a virtual machine. It records the output reports the kernel
// hands it, sends the input reports it is given, can stream accelerometer reports
// at 100 Hz, and when asked answers the requests Linux's wiimote driver makes while
// it sets up a remote.
#pragma once

#include "device/CWiimote.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace kinemo::test {

using Bytes = std::vector<std::uint8_t>;

struct UhidSetup {
    std::string name;
    std::string uniq;  // identifies the device's hidraw node
    std::uint16_t bus = 0;
    std::uint32_t vendor = 0;
    std::uint32_t product = 0;
    Bytes descriptor;
    bool answersWiimoteDriver = false;
};

class UhidDevice {
public:
    explicit UhidDevice(UhidSetup setup);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    bool created() const { return fd_ >= 0; }
    // The device's /dev/hidrawN once the kernel has made it, or empty after `timeout`.
    std::string waitForHidrawNode(std::chrono::milliseconds timeout) const;
    // The HID driver bound to the device ("hid-generic", "wiimote"), empty if none.
    std::string driverName() const;

    void sendInput(std::span<const std::uint8_t> report);
    // Output reports received so far.
    std::vector<Bytes> outputs() const;
    // Waits until an output report equal to `report` has arrived since `from`
    // (an index into outputs()).
    bool waitForOutput(const Bytes& report, std::size_t from, std::chrono::milliseconds timeout) const;

    // 0x31 reports at 100 Hz, X running through 0x20..0x5F, Y = X + 0x40, Z = X + 0x80.
    void startStream();
    void stopStream();
    static bool isStreamValue(const AccTriple& acc);

    // UHID_DESTROY: the device goes away as when a remote is switched off.
    void destroy();

private:
    void write(const void* event, std::size_t size);
    void eventLoop();
    void streamLoop();
    void answerDriver(std::span<const std::uint8_t> output);

    UhidSetup setup_;
    int fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::mutex writeMutex_;
    mutable std::mutex outputsMutex_;
    mutable std::condition_variable outputsChanged_;
    std::vector<Bytes> outputs_;
    std::thread events_;
    std::mutex streamMutex_;
    std::condition_variable streamChanged_;
    bool streaming_ = false;
    std::thread stream_;
};

}  // namespace kinemo::test
