#include "tests/system/UhidDevice.h"

#include <linux/uhid.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace kinemo::test {

namespace fs = std::filesystem;

namespace {

void copyText(std::uint8_t* target, std::size_t capacity, const std::string& text) {
    std::memcpy(target, text.data(), std::min(capacity - 1, text.size()));
}

// The hidraw class directory of the device whose uevent carries HID_UNIQ=uniq.
fs::path findHidrawDir(const std::string& uniq) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/sys/class/hidraw", error)) {
        std::ifstream uevent(entry.path() / "device" / "uevent");
        std::string line;
        while (std::getline(uevent, line)) {
            if (line == "HID_UNIQ=" + uniq) return entry.path();
        }
    }
    return {};
}

}  // namespace

UhidDevice::UhidDevice(UhidSetup setup) : setup_(std::move(setup)) {
    fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd_ < 0) throw std::runtime_error(std::string("/dev/uhid: ") + std::strerror(errno));
    uhid_event event{};
    event.type = UHID_CREATE2;
    auto& create = event.u.create2;
    copyText(create.name, sizeof create.name, setup_.name);
    copyText(create.phys, sizeof create.phys, "kinemo-test/" + setup_.uniq);
    copyText(create.uniq, sizeof create.uniq, setup_.uniq);
    if (setup_.descriptor.size() > sizeof create.rd_data) throw std::runtime_error("descriptor too long");
    create.rd_size = static_cast<std::uint16_t>(setup_.descriptor.size());
    std::copy(setup_.descriptor.begin(), setup_.descriptor.end(), create.rd_data);
    create.bus = setup_.bus;
    create.vendor = setup_.vendor;
    create.product = setup_.product;
    write(&event, sizeof event);
    events_ = std::thread(&UhidDevice::eventLoop, this);
    stream_ = std::thread(&UhidDevice::streamLoop, this);
}

UhidDevice::~UhidDevice() {
    {
        std::lock_guard lock(streamMutex_);
        stopping_ = true;
    }
    streamChanged_.notify_all();
    stream_.join();
    events_.join();
    ::close(fd_);  // destroys the device if it still exists
}

void UhidDevice::write(const void* event, std::size_t size) {
    std::lock_guard lock(writeMutex_);
    if (::write(fd_, event, size) != static_cast<ssize_t>(size)) {
        throw std::runtime_error(std::string("writing to /dev/uhid: ") + std::strerror(errno));
    }
}

std::string UhidDevice::waitForHidrawNode(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        const fs::path dir = findHidrawDir(setup_.uniq);
        if (!dir.empty()) {
            const fs::path node = fs::path("/dev") / dir.filename();
            if (fs::exists(node)) return node.string();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}

std::string UhidDevice::driverName() const {
    const fs::path dir = findHidrawDir(setup_.uniq);
    std::error_code error;
    const fs::path driver = fs::read_symlink(dir / "device" / "driver", error);
    return error ? std::string() : driver.filename().string();
}

void UhidDevice::sendInput(std::span<const std::uint8_t> report) {
    uhid_event event{};
    event.type = UHID_INPUT2;
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::copy(report.begin(), report.end(), event.u.input2.data);
    write(&event, sizeof event);
}

std::vector<Bytes> UhidDevice::outputs() const {
    std::lock_guard lock(outputsMutex_);
    return outputs_;
}

bool UhidDevice::waitForOutput(const Bytes& report, std::size_t from, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(outputsMutex_);
    return outputsChanged_.wait_for(lock, timeout, [&] {
        return from <= outputs_.size() && std::find(outputs_.begin() + static_cast<std::ptrdiff_t>(from),
                                                    outputs_.end(), report) != outputs_.end();
    });
}

void UhidDevice::startStream() {
    {
        std::lock_guard lock(streamMutex_);
        streaming_ = true;
    }
    streamChanged_.notify_all();
}

void UhidDevice::stopStream() {
    std::lock_guard lock(streamMutex_);
    streaming_ = false;
}

bool UhidDevice::isStreamValue(const AccTriple& acc) {
    return acc[0] >= 0x20 && acc[0] < 0x60 && acc[1] == acc[0] + 0x40 && acc[2] == acc[0] + 0x80;
}

void UhidDevice::destroy() {
    stopStream();
    uhid_event event{};
    event.type = UHID_DESTROY;
    write(&event, sizeof event);
}

void UhidDevice::streamLoop() {
    std::uint32_t count = 0;
    auto next = std::chrono::steady_clock::now();
    std::unique_lock lock(streamMutex_);
    while (!stopping_) {
        if (!streaming_) {
            streamChanged_.wait(lock, [&] { return streaming_ || stopping_.load(); });
            next = std::chrono::steady_clock::now();
            continue;
        }
        next += std::chrono::milliseconds(10);
        if (streamChanged_.wait_until(lock, next, [&] { return stopping_.load(); })) break;
        if (!streaming_) continue;
        const std::uint8_t x = static_cast<std::uint8_t>(0x20 + count++ % 0x40);
        const Bytes report = {0x31, 0x00, 0x00, x, static_cast<std::uint8_t>(x + 0x40), static_cast<std::uint8_t>(x + 0x80)};
        sendInput(report);
    }
}

void UhidDevice::eventLoop() {
    while (!stopping_) {
        pollfd pfd{fd_, POLLIN, 0};
        if (::poll(&pfd, 1, 50) <= 0) continue;
        uhid_event event{};
        if (::read(fd_, &event, sizeof event) <= 0) continue;
        switch (event.type) {
        case UHID_OUTPUT: {
            const auto& output = event.u.output;
            if (output.rtype != UHID_OUTPUT_REPORT) break;
            const Bytes report(output.data, output.data + std::min<std::size_t>(output.size, UHID_DATA_MAX));
            {
                std::lock_guard lock(outputsMutex_);
                outputs_.push_back(report);
            }
            outputsChanged_.notify_all();
            if (setup_.answersWiimoteDriver) answerDriver(report);
            break;
        }
        case UHID_GET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = event.u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            write(&reply, sizeof reply);
            break;
        }
        case UHID_SET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = event.u.set_report.id;
            reply.u.set_report_reply.err = EIO;
            write(&reply, sizeof reply);
            break;
        }
        default:
            break;  // start, stop, open, close
        }
    }
}

// Enough of a remote for the wiimote driver to finish setting it up at once instead
// of waiting out its time-outs: status, memory reads (nothing there) and writes.
void UhidDevice::answerDriver(std::span<const std::uint8_t> output) {
    if (output.empty()) return;
    switch (output[0]) {
    case 0x15:  // status request
        sendInput(Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});
        break;
    case 0x17:  // read memory: error 8, no such address
        if (output.size() >= 5) {
            Bytes reply(22, 0);
            reply[0] = 0x21;
            reply[3] = 0xF8;
            reply[4] = output[3];
            reply[5] = output[4];
            sendInput(reply);
        }
        break;
    case 0x16:  // write memory: acknowledged
        sendInput(Bytes{0x22, 0x00, 0x00, 0x16, 0x00});
        break;
    default:
        break;
    }
}

}  // namespace kinemo::test
