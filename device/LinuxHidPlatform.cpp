#include "device/LinuxHidPlatform.h"

#include "device/ReportDescriptor.h"
#include "device/WiiRemoteProtocol.h"

#include <linux/hidraw.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace kinemo {

namespace {

// One open hidraw node. Every request goes to the open descriptor, which stays valid
// (and answers with errors) after the device is gone; nothing is kept that the
// device's removal could free.
class LinuxHidDevice final : public HidDevice {
public:
    explicit LinuxHidDevice(int fd) : fd_(fd) {}
    ~LinuxHidDevice() override { ::close(fd_); }
    LinuxHidDevice(const LinuxHidDevice&) = delete;
    LinuxHidDevice& operator=(const LinuxHidDevice&) = delete;

    std::optional<HidAttributes> attributes() override {
        hidraw_devinfo info{};
        if (::ioctl(fd_, HIDIOCGRAWINFO, &info) < 0) return std::nullopt;
        return HidAttributes{static_cast<std::uint16_t>(info.vendor), static_cast<std::uint16_t>(info.product)};
    }

    std::optional<ReportLengths> reportLengths() override {
        int size = 0;
        if (::ioctl(fd_, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 || size >= HID_MAX_DESCRIPTOR_SIZE)
            return std::nullopt;
        hidraw_report_descriptor descriptor{};
        descriptor.size = static_cast<std::uint32_t>(size);
        if (::ioctl(fd_, HIDIOCGRDESC, &descriptor) < 0) return std::nullopt;
        return kinemo::reportLengths(std::span<const std::uint8_t>(descriptor.value, descriptor.size));
    }

    bool write(std::span<const std::uint8_t> report) override {
        ssize_t written = 0;
        do written = ::write(fd_, report.data(), report.size());
        while (written < 0 && errno == EINTR);
        return written >= 0 && static_cast<std::size_t>(written) == report.size();
    }

    ReadStatus read(std::span<std::uint8_t> buffer) override {
        // hidraw still hands out the reports a removed device had queued, so the
        // removal is asked for first: nothing a vanished remote sent is shown.
        pollfd node{fd_, POLLIN, 0};
        int ready = 0;
        do ready = ::poll(&node, 1, 0);
        while (ready < 0 && errno == EINTR);
        if (ready < 0 || (node.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return ReadStatus::Error;
        if ((node.revents & POLLIN) == 0) return ReadStatus::NoneWaiting;
        const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got > 0) return ReadStatus::Report;
        if (got == 0 || errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return ReadStatus::NoneWaiting;
        return ReadStatus::Error;  // ENODEV, EIO: the device went away
    }

private:
    int fd_;
};

// The vendor and product of a uevent line HID_ID=<bus>:<vendor>:<product>, in hex.
std::optional<HidAttributes> idsOfUeventLine(std::string_view line) {
    constexpr std::string_view key = "HID_ID=";
    if (!line.starts_with(key)) return std::nullopt;
    const char* at = line.data() + key.size();
    const char* const end = line.data() + line.size();
    std::uint32_t ids[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (at == end || *at++ != ':')) return std::nullopt;
        const auto [next, error] = std::from_chars(at, end, ids[i], 16);
        if (error != std::errc()) return std::nullopt;
        at = next;
    }
    if (at != end || ids[1] > 0xFFFF || ids[2] > 0xFFFF) return std::nullopt;
    return HidAttributes{static_cast<std::uint16_t>(ids[1]), static_cast<std::uint16_t>(ids[2])};
}

std::optional<HidAttributes> idsOfNode(const std::filesystem::path& classEntry) {
    std::ifstream uevent(classEntry / "device" / "uevent");
    for (std::string line; std::getline(uevent, line);)
        if (const auto ids = idsOfUeventLine(line)) return ids;
    return std::nullopt;
}

// The lines of the packaged udev rule: both models, over Bluetooth (bus 0005) and
// through an adapter that presents paired remotes as USB devices (bus 0003).
std::string udevRuleLines() {
    std::string lines;
    for (const char* bus : {"0005", "0003"})
        for (const std::uint16_t productId : {kWiiRemoteProductId, kWiiRemotePlusProductId})
            lines += "kinemo:   SUBSYSTEM==\"hidraw\", KERNELS==\"" + std::string(bus) + ":" +
                     idsText({kNintendoVendorId, productId}) + ".*\", TAG+=\"uaccess\"\n";
    return lines;
}

}  // namespace

std::string openFailureHintText(const std::string& path, const HidAttributes& attributes, int errorNumber) {
    const std::string reason = errorNumber != 0 ? std::strerror(errorNumber) : "unknown error";
    std::ostringstream text;
    text << "kinemo: a Wii Remote (" << idsText(attributes) << ") is connected as " << path
         << ", but it cannot be opened: " << reason << ".\n"
         << "kinemo: the program needs read and write access to " << path << ". To give it to the user\n"
         << "kinemo: logged in at the computer, install the udev rule 60-kinemo-wiimote.rules that comes\n"
         << "kinemo: with Kinemo into /etc/udev/rules.d/ (or write a file of that name there with these\n"
         << "kinemo: four lines):\n"
         << udevRuleLines() << "kinemo: then run, as root:\n"
         << "kinemo:   udevadm control --reload && udevadm trigger\n"
         << "kinemo: or disconnect and reconnect the remote. Kinemo keeps searching meanwhile.\n";
    return text.str();
}

void OpenFailureHint::report(const std::string& path, const HidAttributes& attributes, int errorNumber) {
    // A remote that went away between the listing and the open is no longer present:
    // nothing to fix, and the one hint is kept for a real obstacle.
    if (!isOpenObstacle(errorNumber)) return;
    if (printed_) return;
    printed_ = true;
    out_ << openFailureHintText(path, attributes, errorNumber) << std::flush;
}

bool hidPathLess(const std::string& a, const std::string& b) {
    auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t iEnd = i;
            std::size_t jEnd = j;
            while (iEnd < a.size() && isDigit(a[iEnd])) ++iEnd;
            while (jEnd < b.size() && isDigit(b[jEnd])) ++jEnd;
            // Compare the runs as numbers of any length: skip leading zeros, then the
            // longer run is the larger number, then digit by digit.
            std::size_t iSig = i;
            std::size_t jSig = j;
            while (iSig + 1 < iEnd && a[iSig] == '0') ++iSig;
            while (jSig + 1 < jEnd && b[jSig] == '0') ++jSig;
            if (iEnd - iSig != jEnd - jSig) return iEnd - iSig < jEnd - jSig;
            const int order = a.compare(iSig, iEnd - iSig, b, jSig, jEnd - jSig);
            if (order != 0) return order < 0;
            if (iEnd - i != jEnd - j) return iEnd - i < jEnd - j;  // 07 after 7, for a total order
            i = iEnd;
            j = jEnd;
        } else {
            if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

LinuxHidPlatform::LinuxHidPlatform() : LinuxHidPlatform(std::cerr) {}

LinuxHidPlatform::LinuxHidPlatform(std::ostream& hintStream, std::string sysfsRoot, std::string devRoot)
    : hint_(hintStream), sysfsRoot_(std::move(sysfsRoot)), devRoot_(std::move(devRoot)) {}

std::vector<HidInterface> LinuxHidPlatform::enumerate() {
    enumerated_.clear();
    // Nodes come and go while they are listed: every error ends the listing or skips
    // the node, none throws.
    std::error_code error;
    const std::filesystem::directory_iterator end;
    for (std::filesystem::directory_iterator entry(sysfsRoot_ + "/class/hidraw", error); !error && entry != end;
         entry.increment(error)) {
        // A node whose ids cannot be read is going away, or no HID device: not listed.
        if (const auto ids = idsOfNode(entry->path()))
            enumerated_.try_emplace(devRoot_ + "/" + entry->path().filename().string(), *ids);
    }

    std::vector<HidInterface> interfaces;
    interfaces.reserve(enumerated_.size());
    for (const auto& [path, attributes] : enumerated_) interfaces.push_back({path, attributes});
    std::sort(interfaces.begin(), interfaces.end(),
              [](const HidInterface& a, const HidInterface& b) { return hidPathLess(a.path, b.path); });
    return interfaces;
}

HidOpenResult LinuxHidPlatform::open(const std::string& path) {
    // Non-blocking, so that a read can never hold the user-interface thread.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int openError = errno;
        const auto known = enumerated_.find(path);
        if (known != enumerated_.end() && isWiiRemote(known->second)) hint_.report(path, known->second, openError);
        return {nullptr, openError};
    }
    return {std::make_unique<LinuxHidDevice>(fd)};
}

void LinuxHidPlatform::pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

}  // namespace kinemo
