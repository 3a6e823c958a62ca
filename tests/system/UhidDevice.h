// An emulated HID device made through /dev/uhid, for the test that runs the real
// kernel HID stack in a virtual machine. It records the output reports the kernel
// hands it, sends the input reports it is given, and answers the requests Linux's
// wiimote driver makes while it sets up a remote.
#pragma once

#include <linux/uhid.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <poll.h>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
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
};

class UhidDevice {
public:
    explicit UhidDevice(UhidSetup setup) : setup_(std::move(setup)) {
        fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
        if (fd_ < 0) throw std::runtime_error(std::string("/dev/uhid: ") + std::strerror(errno));
        uhid_event event = makeEvent(UHID_CREATE2);
        auto& create = event.u.create2;
        copyText(create.name, setup_.name);
        copyText(create.phys, "kinemo-test/" + setup_.uniq);
        copyText(create.uniq, setup_.uniq);
        if (setup_.descriptor.size() > sizeof create.rd_data) throw std::runtime_error("descriptor too long");
        create.rd_size = static_cast<std::uint16_t>(setup_.descriptor.size());
        std::copy(setup_.descriptor.begin(), setup_.descriptor.end(), create.rd_data);
        create.bus = setup_.bus;
        create.vendor = setup_.vendor;
        create.product = setup_.product;
        write(event);
        events_ = std::thread(&UhidDevice::eventLoop, this);
    }

    ~UhidDevice() {
        stopping_ = true;
        events_.join();
        ::close(fd_);  // destroys the device if it still exists
    }

    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // The device's /dev/hidrawN once the kernel has made it, or empty after `timeout`.
    std::string waitForHidrawNode(std::chrono::milliseconds timeout) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        do {
            const auto dir = hidrawDir();
            const std::string node = "/dev/" + dir.filename().string();
            if (!dir.empty() && std::filesystem::exists(node)) return node;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (std::chrono::steady_clock::now() < deadline);
        return {};
    }

    // The HID driver bound to the device ("hid-generic", "wiimote"), empty if none.
    std::string driverName() const {
        std::error_code error;
        const auto driver = std::filesystem::read_symlink(hidrawDir() / "device/driver", error);
        return error ? std::string() : driver.filename().string();
    }

    void sendInput(std::span<const std::uint8_t> report) {
        uhid_event event = makeEvent(UHID_INPUT2);
        event.u.input2.size = static_cast<std::uint16_t>(report.size());
        std::copy(report.begin(), report.end(), event.u.input2.data);
        write(event);
    }

    std::size_t outputCount() const {
        std::lock_guard lock(outputsMutex_);
        return outputs_.size();
    }

    // Waits until an output report equal to `report` has arrived after the first `from`.
    bool waitForOutput(const Bytes& report, std::size_t from, std::chrono::milliseconds timeout) const {
        std::unique_lock lock(outputsMutex_);
        return outputsChanged_.wait_for(lock, timeout, [&] {
            return from <= outputs_.size() &&
                   std::find(outputs_.begin() + std::ptrdiff_t(from), outputs_.end(), report) != outputs_.end();
        });
    }

    int opens() const { return opens_; }  // UHID_OPEN: a reader of its node or a driver opened it
    // UHID_DESTROY: the device goes away as when a remote is switched off.
    void destroy() { write(makeEvent(UHID_DESTROY)); }

private:
    static uhid_event makeEvent(std::uint32_t type) {
        uhid_event event{};
        event.type = type;
        return event;
    }

    template <std::size_t N>
    static void copyText(std::uint8_t (&target)[N], const std::string& text) {
        std::memcpy(target, text.data(), std::min(N - 1, text.size()));
    }

    // The hidraw class directory of the device whose uevent carries HID_UNIQ=<uniq>.
    std::filesystem::path hidrawDir() const {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
            std::ifstream uevent(entry.path() / "device/uevent");
            for (std::string line; std::getline(uevent, line);) {
                if (line == "HID_UNIQ=" + setup_.uniq) return entry.path();
            }
        }
        return {};
    }

    void write(const uhid_event& event) {
        std::lock_guard lock(writeMutex_);
        if (::write(fd_, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) {
            throw std::runtime_error(std::string("writing to /dev/uhid: ") + std::strerror(errno));
        }
    }

    void eventLoop() {
        while (!stopping_) {
            pollfd pfd{fd_, POLLIN, 0};
            uhid_event event{};
            if (::poll(&pfd, 1, 50) <= 0 || ::read(fd_, &event, sizeof event) <= 0) continue;
            if (event.type == UHID_OPEN) ++opens_;
            if (event.type == UHID_OUTPUT && event.u.output.rtype == UHID_OUTPUT_REPORT) {
                const auto& output = event.u.output;
                const Bytes report(output.data, output.data + std::min<std::size_t>(output.size, UHID_DATA_MAX));
                {
                    std::lock_guard lock(outputsMutex_);
                    outputs_.push_back(report);
                }
                outputsChanged_.notify_all();
                answerWiimoteDriver(report);
            } else if (event.type == UHID_GET_REPORT || event.type == UHID_SET_REPORT) {
                // Refused. Both requests and both replies begin with the request's id and the error.
                uhid_event reply =
                    makeEvent(event.type == UHID_GET_REPORT ? UHID_GET_REPORT_REPLY : UHID_SET_REPORT_REPLY);
                reply.u.set_report_reply.id = event.u.set_report.id;
                reply.u.set_report_reply.err = EIO;
                write(reply);
            }
        }
    }

    // Enough of a remote for the wiimote driver to finish setting it up at once instead
    // of waiting out its time-outs: status, memory reads (nothing there) and writes.
    void answerWiimoteDriver(const Bytes& output) {
        if (output.empty()) return;
        if (output[0] == 0x15) sendInput(Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});  // status
        if (output[0] == 0x16) sendInput(Bytes{0x22, 0x00, 0x00, 0x16, 0x00});  // write memory: acknowledged
        if (output[0] == 0x17 && output.size() >= 5) {  // read memory: error 8, no such address
            Bytes reply{0x21, 0x00, 0x00, 0xF8, output[3], output[4]};
            reply.resize(22);
            sendInput(reply);
        }
    }

    UhidSetup setup_;
    int fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::atomic<int> opens_{0};
    std::mutex writeMutex_;
    mutable std::mutex outputsMutex_;
    mutable std::condition_variable outputsChanged_;
    std::vector<Bytes> outputs_;
    std::thread events_;
};

}  // namespace kinemo::test
