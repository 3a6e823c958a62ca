// kinemo_system_probe generic|wiimote <descriptor fixture>: runs alone in the system test's
// virtual machine, makes emulated HID devices through /dev/uhid and drives the Linux HID platform
// and WiiRemote against the real kernel HID stack. Ends with "KINEMO-SYSTEM: PASS|FAIL <mode>".
#include "device/LinuxHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <linux/input.h>
#include <linux/uhid.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace kinemo::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// An emulated HID device. It keeps the output reports the kernel hands it, counts the opens
// (UHID_OPEN: a reader of its node or a driver), and answers what Linux's wiimote driver asks
// while it sets a remote up, so that the driver need not wait out its time-outs.
class UhidDevice {
public:
    UhidDevice(const std::string& uniq, std::uint16_t bus, std::uint16_t vendor, std::uint16_t product,
               const Bytes& descriptor) {
        uhid_event event{.type = UHID_CREATE2, .u = {}};
        auto& create = event.u.create2;
        std::strncpy(reinterpret_cast<char*>(create.name), uniq.c_str(), sizeof create.name - 1);
        std::strncpy(reinterpret_cast<char*>(create.uniq), uniq.c_str(), sizeof create.uniq - 1);
        create.rd_size = static_cast<std::uint16_t>(std::min(descriptor.size(), sizeof create.rd_data));
        std::copy_n(descriptor.begin(), create.rd_size, create.rd_data);
        create.bus = bus;
        create.vendor = vendor;
        create.product = product;
        send(event);
        events_ = std::jthread([this](std::stop_token stop) { eventLoop(stop); });
        // The hidraw node is the one whose device's uevent carries HID_UNIQ=<uniq>.
        for (auto end = Clock::now() + 10s; node.empty() && Clock::now() < end; std::this_thread::sleep_for(20ms)) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error)) {
                std::ifstream uevent(entry.path() / "device/uevent");
                for (std::string line; std::getline(uevent, line);)
                    if (line == "HID_UNIQ=" + uniq) node = "/dev/" + entry.path().filename().string();
            }
            if (!std::filesystem::exists(node)) node.clear();
        }
    }
    ~UhidDevice() { events_ = {}; ::close(fd_); }  // stops the reader; destroys the device if it still exists

    void sendInput(const Bytes& report) {
        uhid_event event{.type = UHID_INPUT2, .u = {}};
        event.u.input2.size = static_cast<std::uint16_t>(report.size());
        std::ranges::copy(report, event.u.input2.data);
        send(event);
    }
    // Whether `report` arrives as an output report within 3 s; forgets every report so far.
    bool takeOutput(const Bytes& report) {
        for (auto end = Clock::now() + 3s; Clock::now() < end; std::this_thread::sleep_for(10ms)) {
            std::lock_guard lock(mutex_);
            if (std::ranges::count(std::exchange(outputs_, {}), report) > 0) return true;
        }
        return false;
    }
    void destroy() { send({.type = UHID_DESTROY, .u = {}}); }  // as when a remote is switched off

    std::string node;  // its /dev/hidrawN, empty if none came within 10 s
    std::atomic<int> opens{0};

private:
    void send(const uhid_event& event) {
        std::lock_guard lock(writeMutex_);
        if (::write(fd_, &event, sizeof event) != static_cast<ssize_t>(sizeof event))
            throw std::runtime_error(std::string("/dev/uhid: ") + std::strerror(errno));
    }
    void eventLoop(const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            pollfd pfd{fd_, POLLIN, 0};
            uhid_event event{};
            if (::poll(&pfd, 1, 50) <= 0 || ::read(fd_, &event, sizeof event) <= 0) continue;
            opens += event.type == UHID_OPEN;
            const auto& output = event.u.output;
            if (event.type != UHID_OUTPUT || output.rtype != UHID_OUTPUT_REPORT || output.size == 0) continue;
            const Bytes out(output.data, output.data + std::min<std::size_t>(output.size, UHID_DATA_MAX));
            std::lock_guard lock(mutex_);
            outputs_.push_back(out);
            if (out[0] == 0x15) sendInput({0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});  // status
            if (out[0] == 0x16) sendInput({0x22, 0x00, 0x00, 0x16, 0x00});              // memory written
            if (out[0] == 0x17 && out.size() >= 5) sendInput(accReport(0xF8, out[3], out[4], 22, 0x21));  // none
        }
    }

    int fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    std::mutex writeMutex_, mutex_;
    std::vector<Bytes> outputs_;
    std::jthread events_;
};

int checks = 0, failures = 0;

void check(bool ok, const std::string& what, const std::string& detail = {}) {
    failures += ok ? 0 : 1;
    std::cout << (ok ? "ok " : "not ok ") << ++checks << " - " << what << " (" << detail << ")" << std::endl;
}

// As another user the remote's node (root's, mode 0600) cannot be opened: two searches find
// nothing and print the hint once.
std::string hintAsAnotherUser() {
    std::ostringstream hint;
    if (::setegid(65534) != 0 || ::seteuid(65534) != 0) return "no user change";
    if (LinuxHidPlatform platform(hint); WiiRemote(platform).connect() || WiiRemote(platform).connect())
        hint << "a remote found";
    return ::seteuid(0) == 0 && ::setegid(0) == 0 ? hint.str() : "no way back";
}

int run(const std::string& mode, const std::string& fixture) {
    Bytes descriptor = readHexFixture(fixture);
    if (mode == "wiimote") descriptor.push_back(0x00);  // the form with the extra byte some remotes send
    // Other HID devices, found before the remote in the enumeration.
    UhidDevice mouse("kinemo-mouse", BUS_USB, 0x046D, 0xC077,
                     {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06, 0xc0});
    UhidDevice otherNintendo("kinemo-other", BUS_BLUETOOTH, 0x057E, 0x0001, descriptor);
    LinuxHidPlatform platform;
    WiiRemote wiimote(platform);
    const std::vector<HidInterface> others = {{mouse.node, {0x046D, 0xC077}}, {otherNintendo.node, {0x057E, 0x0001}}};
    check(!mouse.node.empty() && std::ranges::is_permutation(platform.enumerate(), others),
          "one entry per hidraw node, with its ids", mouse.node + " " + otherNintendo.node);
    auto remote = std::make_unique<UhidDevice>("kinemo-remote", BUS_BLUETOOTH, 0x057E, 0x0306, descriptor);
    const std::string hint = hintAsAnotherUser();
    check(hint == openFailureHintText(remote->node, {0x057E, 0x0306}, EACCES), "unopenable: one hint naming it", hint);
    AccTriple acc{};
    auto readsAs = [&](AccTriple expected) {
        wiimote.readAcceleration(acc);
        return wiimote.isConnected() && acc == expected;
    };
    check(wiimote.setReportMode(0x12, 0x04, 0x31) && wiimote.devicePath() == remote->node &&
              wiimote.caps().inputReportByteLength == 22 && wiimote.caps().outputReportByteLength == 22 &&
              remote->takeOutput(modeRequest(0x04)),
          "the remote is opened, lengths 22 and 22 from its descriptor, 12 04 31 00.. sent", wiimote.devicePath());
    remote->sendInput(accReport(0x80, 0x81, 0x9A, 6));
    check(readsAs({0x80, 0x81, 0x9A}) && readsAs({0x80, 0x81, 0x9A}), "0x31 decoded and kept over an empty queue");
    check(remote->takeOutput(modeRequest(0x04)), "every call sends the report again");
    for (const Bytes& report : {accReport(1, 2, 3, 6), accReport(4, 5, 6, 6), accReport(0x10, 0, 0xC8, 7, 0x20),
                                accReport(0x12, 0, 0, 6, 0x22)})
        remote->sendInput(report);
    check(readsAs({4, 5, 6}), "the newest 0x31 report is decoded, 0x20 and 0x22 are skipped");
    remote->destroy();
    wiimote.readAcceleration(acc);
    check(!wiimote.isConnected() && acc == AccTriple{0, 0, 0}, "removal is noticed: 0, 0, 0");
    remote = std::make_unique<UhidDevice>("kinemo-remote-plus", BUS_BLUETOOTH, 0x057E, 0x0330, descriptor);
    wiimote.readAcceleration(acc);
    check(wiimote.devicePath() == remote->node && remote->takeOutput(modeRequest(0x04)), "a Wii Remote Plus is found");
    remote->sendInput(accReport(0x9A, 0x9B, 0x9C, 6));
    check(readsAs({0x9A, 0x9B, 0x9C}), "and its reports are decoded");
    check(mouse.opens + otherNintendo.opens == 0 && remote->opens > 0, "no search opened the other devices");

    std::cout << "KINEMO-SYSTEM: " << (failures == 0 ? "PASS " : "FAIL ") << mode << std::endl;
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace kinemo::test

int main(int argc, char** argv) {
    ::alarm(120);  // a hang fails the test instead of holding the machine
    return argc == 3 ? kinemo::test::run(argv[1], argv[2]) : 2;
}
