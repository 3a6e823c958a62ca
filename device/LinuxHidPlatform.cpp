#include "device/LinuxHidPlatform.h"

#include "device/WiiRemote.h"
#include "device/ReportDescriptor.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace kinemo {

namespace {

// hidapi keeps process-wide state: the first platform initialises it, the last one
// releases it. Platforms live on the user-interface thread only.
int hidapiUsers = 0;

void acquireHidapi() {
    if (hidapiUsers++ == 0) hid_init();
}

void releaseHidapi() {
    if (--hidapiUsers == 0) hid_exit();
}

// The kernel caps a report descriptor at 4096 bytes; anything much longer is no
// descriptor and is not read on.
constexpr std::streamsize kMaxDescriptorBytes = 65536;

class LinuxHidDevice final : public HidDevice {
public:
    LinuxHidDevice(hid_device* device, std::string path) : device_(device), path_(std::move(path)) {}
    ~LinuxHidDevice() override { hid_close(device_); }
    LinuxHidDevice(const LinuxHidDevice&) = delete;
    LinuxHidDevice& operator=(const LinuxHidDevice&) = delete;

    std::optional<HidAttributes> attributes() override {
        const hid_device_info* info = hid_get_device_info(device_);
        if (!info) return std::nullopt;
        return HidAttributes{info->vendor_id, info->product_id};
    }

    std::optional<HidCaps> caps() override { return hidrawReportLengths(path_); }

    bool write(std::span<const std::uint8_t> report) override {
        const int written = hid_write(device_, report.data(), report.size());
        return written >= 0 && static_cast<std::size_t>(written) == report.size();
    }

    ReadStatus read(std::span<std::uint8_t> buffer) override {
        const int result = hid_read_timeout(device_, buffer.data(), buffer.size(), 0);
        if (result > 0) return ReadStatus::Report;
        if (result == 0) return ReadStatus::NoneWaiting;
        return ReadStatus::Error;  // hidraw reports a removed device as an error
    }

private:
    hid_device* device_;
    std::string path_;
};

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

}  // namespace

std::string openFailureHintText(const std::string& path, const HidAttributes& attributes, int errorNumber) {
    const std::string reason = errorNumber != 0 ? std::strerror(errorNumber) : "unknown error";
    std::ostringstream text;
    text << "kinemo: a Wii Remote (" << hex4(attributes.vendorId) << ':' << hex4(attributes.productId)
         << ") is connected as " << path << ", but it cannot be opened: " << reason << ".\n"
         << "kinemo: the program needs read and write access to " << path << ". To give it to the user\n"
         << "kinemo: logged in at the computer, install the udev rule 60-kinemo-wiimote.rules that comes\n"
         << "kinemo: with Kinemo into /etc/udev/rules.d/ (or write a file of that name there with these\n"
         << "kinemo: two lines):\n"
         << "kinemo:   SUBSYSTEM==\"hidraw\", KERNELS==\"0005:057E:0306.*\", TAG+=\"uaccess\"\n"
         << "kinemo:   SUBSYSTEM==\"hidraw\", KERNELS==\"0005:057E:0330.*\", TAG+=\"uaccess\"\n"
         << "kinemo: then run, as root:\n"
         << "kinemo:   udevadm control --reload && udevadm trigger\n"
         << "kinemo: or disconnect and reconnect the remote. Kinemo keeps searching meanwhile.\n";
    return text.str();
}

void OpenFailureHint::report(const std::string& path, const HidAttributes& attributes, int errorNumber) {
    // A remote that went away between the listing and the open is no longer present:
    // nothing to fix, and the one hint is kept for a real obstacle.
    if (errorNumber == ENOENT || errorNumber == ENODEV || errorNumber == ENXIO) return;
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

std::optional<HidCaps> hidrawReportLengths(const std::string& devicePath, const std::string& sysfsRoot) {
    const std::size_t slash = devicePath.find_last_of('/');
    const std::string node = slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    if (node.empty() || node == "." || node == "..") return std::nullopt;
    std::ifstream file(sysfsRoot + "/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
    if (!file) return std::nullopt;
    std::vector<std::uint8_t> descriptor(static_cast<std::size_t>(kMaxDescriptorBytes));
    file.read(reinterpret_cast<char*>(descriptor.data()), kMaxDescriptorBytes);
    descriptor.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad()) return std::nullopt;
    return reportLengths(descriptor);
}

LinuxHidPlatform::LinuxHidPlatform() : LinuxHidPlatform(std::cerr) {}

LinuxHidPlatform::LinuxHidPlatform(std::ostream& hintStream) : hint_(hintStream) { acquireHidapi(); }

LinuxHidPlatform::~LinuxHidPlatform() { releaseHidapi(); }

std::vector<HidInterface> LinuxHidPlatform::enumerate() {
    enumerated_.clear();
    hid_device_info* list = hid_enumerate(0, 0);
    // hidapi lists a node once for each of its top-level collections; the node is
    // what gets opened, so it counts once.
    for (const hid_device_info* info = list; info; info = info->next) {
        if (info->path) enumerated_.try_emplace(info->path, HidAttributes{info->vendor_id, info->product_id});
    }
    hid_free_enumeration(list);

    std::vector<HidInterface> interfaces;
    interfaces.reserve(enumerated_.size());
    for (const auto& [path, attributes] : enumerated_) interfaces.push_back({path, attributes});
    std::sort(interfaces.begin(), interfaces.end(),
              [](const HidInterface& a, const HidInterface& b) { return hidPathLess(a.path, b.path); });
    return interfaces;
}

std::unique_ptr<HidDevice> LinuxHidPlatform::open(const std::string& path) {
    errno = 0;
    hid_device* device = hid_open_path(path.c_str());
    const int openError = errno;
    if (!device) {
        const auto known = enumerated_.find(path);
        if (known != enumerated_.end() && isWiiRemote(known->second)) hint_.report(path, known->second, openError);
        return nullptr;
    }
    return std::make_unique<LinuxHidDevice>(device, path);
}

void LinuxHidPlatform::pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

}  // namespace kinemo
