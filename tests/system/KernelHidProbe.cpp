// kinemo_system_probe generic|wiimote <descriptor fixture> [churn [seed]]: runs alone in the system
// test's virtual machine, makes emulated HID devices through /dev/uhid and drives the Linux HID
// platform and WiiRemote against the real kernel HID stack. Ends with
// "KINEMO-SYSTEM: PASS|FAIL <mode>" (or "... churn <mode>").
#include "device/LinuxHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <linux/input.h>
#include <linux/uhid.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <poll.h>
#include <random>
#include <sstream>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace kinemo::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What Linux's wiimote driver waits for after some of its requests while it sets a remote up.
std::optional<Bytes> driverAnswer(const Bytes& output) {
    if (output.empty()) return std::nullopt;
    if (output[0] == 0x15) return Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8};  // status
    if (output[0] == 0x16) return Bytes{0x22, 0x00, 0x00, 0x16, 0x00};              // memory written
    if (output[0] == 0x17 && output.size() >= 5) return accReport(0xF8, output[3], output[4], 22, 0x21);  // none
    return std::nullopt;
}

uhid_event createEvent(const std::string& uniq, std::uint16_t bus, std::uint16_t vendor, std::uint16_t product,
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
    return event;
}

uhid_event inputEvent(const Bytes& report) {
    uhid_event event{.type = UHID_INPUT2, .u = {}};
    event.u.input2.size = static_cast<std::uint16_t>(report.size());
    std::ranges::copy(report, event.u.input2.data);
    return event;
}

// Whether hidraw node `name` belongs to the HID device made with `uniq`.
bool nodeBelongsTo(const std::string& name, const std::string& uniq) {
    std::ifstream uevent("/sys/class/hidraw/" + name + "/device/uevent");
    for (std::string line; std::getline(uevent, line);)
        if (line == "HID_UNIQ=" + uniq) return true;
    return false;
}

// An emulated HID device. It keeps the output reports the kernel hands it, counts the opens
// (UHID_OPEN: a reader of its node or a driver), and answers what Linux's wiimote driver asks
// while it sets a remote up, so that the driver need not wait out its time-outs.
class UhidDevice {
public:
    UhidDevice(const std::string& uniq, std::uint16_t bus, std::uint16_t vendor, std::uint16_t product,
               const Bytes& descriptor) {
        send(createEvent(uniq, bus, vendor, product, descriptor));
        events_ = std::jthread([this](std::stop_token stop) { eventLoop(stop); });
        // The hidraw node is the one whose device's uevent carries HID_UNIQ=<uniq>.
        for (auto end = Clock::now() + 10s; node.empty() && Clock::now() < end; std::this_thread::sleep_for(20ms)) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", error))
                if (nodeBelongsTo(entry.path().filename(), uniq)) node = "/dev/" + entry.path().filename().string();
            if (!std::filesystem::exists(node)) node.clear();
        }
    }
    ~UhidDevice() { events_ = {}; ::close(fd_); }  // stops the reader; destroys the device if it still exists

    void sendInput(const Bytes& report) { send(inputEvent(report)); }
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
            if (const std::optional<Bytes> answer = driverAnswer(out)) sendInput(*answer);
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

// The churn: remotes made and destroyed one after another while the probe ticks as the program
// does. Each remote sends accelerometer reports with values of its own, so every sample shown
// names the remote it came from.
constexpr int kChurnRemotes = 100;
constexpr int kDestroyedOnOpen = 25;  // of them: destroyed the moment the probe opens their node

struct ChurnRemote {
    AccTriple acc{};
    std::chrono::milliseconds lifetime{};  // planned; also the longest wait for the probe's open
    std::chrono::milliseconds gap{};       // before the next one is made
    bool destroyOnOpen = false;
    bool destroyedOnOpen = false;
    std::string node;  // hidrawN, once it appeared
    // Under the Wii Remote driver a destruction can take seconds: the driver first waits out
    // the questions it asked while it set the remote up, and that sends nothing meanwhile.
    Clock::time_point created, destroying, destroyed;
};

struct Tick {
    Clock::time_point start, end;
    AccTriple acc{};
};

long openDescriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator{});
}

void writeEvent(int fd, const uhid_event& event) {
    // An input report before the kernel has set the device up is refused: nothing to do about it.
    [[maybe_unused]] const ssize_t written = ::write(fd, &event, sizeof event);
}

// Serves one remote from its creation to its destruction: its report every 10 ms, the driver's
// questions answered, and the inotify watch on /dev read for the node's creation and opening.
void serveRemote(ChurnRemote& remote, const std::string& uniq, int uhid, int watch) {
    const auto end = remote.created + remote.lifetime;
    const Bytes report = accReport(remote.acc[0], remote.acc[1], remote.acc[2], 22);
    auto nextReport = remote.created;
    while (!remote.destroyedOnOpen) {
        const auto now = Clock::now();
        if (now >= end) return;
        if (now >= nextReport) {
            writeEvent(uhid, inputEvent(report));
            nextReport = now + 10ms;
            continue;
        }
        pollfd fds[2] = {{uhid, POLLIN, 0}, {watch, POLLIN, 0}};
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::min(end, nextReport) - now);
        if (::poll(fds, 2, static_cast<int>(wait.count())) <= 0) continue;
        uhid_event event{};
        if ((fds[0].revents & POLLIN) && ::read(uhid, &event, sizeof event) > 0 && event.type == UHID_OUTPUT) {
            const Bytes out(event.u.output.data, event.u.output.data + std::min<int>(event.u.output.size, 64));
            if (const std::optional<Bytes> answer = driverAnswer(out)) writeEvent(uhid, inputEvent(*answer));
        }
        if (fds[1].revents & POLLIN) {
            alignas(inotify_event) char buffer[4096];
            const ssize_t length = ::read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                const std::string name = event->len > 0 ? event->name : "";
                if ((event->mask & IN_CREATE) && remote.node.empty() && nodeBelongsTo(name, uniq)) remote.node = name;
                // The probe holds the node open right now.
                remote.destroyedOnOpen |= (event->mask & IN_OPEN) && remote.destroyOnOpen && name == remote.node;
            }
        }
    }
}

void makeRemotes(std::vector<ChurnRemote>& remotes, const Bytes& descriptor, std::atomic<bool>& made) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(watch, "/dev", IN_CREATE | IN_OPEN);
    for (std::size_t i = 0; i < remotes.size(); ++i) {
        ChurnRemote& remote = remotes[i];
        const std::string uniq = "kinemo-churn-" + std::to_string(i);
        for (char stale[4096]; ::read(watch, stale, sizeof stale) > 0;)
            continue;  // what the remotes before left
        const int uhid = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
        writeEvent(uhid, createEvent(uniq, BUS_BLUETOOTH, 0x057E, 0x0306, descriptor));
        remote.created = Clock::now();
        serveRemote(remote, uniq, uhid, watch);
        remote.destroying = Clock::now();
        writeEvent(uhid, uhid_event{.type = UHID_DESTROY, .u = {}});
        remote.destroyed = Clock::now();
        ::close(uhid);
        std::this_thread::sleep_for(remote.gap);
    }
    ::close(watch);
    made = true;
}

int churn(const std::string& mode, const std::string& fixture, unsigned seed) {
    Bytes descriptor = readHexFixture(fixture);
    if (mode == "wiimote") descriptor.push_back(0x00);
    std::cout << "churn: seed " << seed << " (kinemo.seed=" << seed << " repeats this run)" << std::endl;
    std::mt19937 random(seed);
    std::vector<ChurnRemote> remotes(kChurnRemotes);
    int onOpenToPick = kDestroyedOnOpen;  // exactly so many, spread at random
    for (int i = 0; i < kChurnRemotes; ++i) {
        ChurnRemote& remote = remotes[static_cast<std::size_t>(i)];
        remote.acc = {static_cast<std::uint8_t>(1 + i % 200), static_cast<std::uint8_t>(1 + i / 200), 0xA5};
        remote.destroyOnOpen = static_cast<int>(random() % static_cast<unsigned>(kChurnRemotes - i)) < onOpenToPick;
        onOpenToPick -= remote.destroyOnOpen ? 1 : 0;
        remote.lifetime = remote.destroyOnOpen ? 2000ms : std::chrono::milliseconds(random() % 2001);
        remote.gap = std::chrono::milliseconds(random() % 31);
    }

    LinuxHidPlatform platform;
    WiiRemote wiimote(platform);
    const long descriptorsBefore = openDescriptors();
    std::atomic<bool> made{false};
    std::jthread maker([&] { makeRemotes(remotes, descriptor, made); });
    // The program's tick: every 10 ms, on this thread, for as long as remotes come and go and a
    // few ticks more, so that the last removal is seen.
    std::vector<Tick> ticks;
    ticks.reserve(40000);
    int ticksAfter = 0;
    for (auto next = Clock::now(); ticksAfter < 3; std::this_thread::sleep_until(next)) {
        ticksAfter += made ? 1 : 0;
        Tick& tick = ticks.emplace_back();
        tick.start = Clock::now();
        wiimote.readAcceleration(tick.acc);
        tick.end = Clock::now();
        next = std::max(next + 10ms, tick.end);
    }
    maker.join();
    const long descriptorsAfter = openDescriptors();

    int destroyedOnOpen = 0, livedLong = 0, livedLongShown = 0, lateSamples = 0;
    std::vector<std::chrono::duration<double, std::milli>> firstSample;
    for (std::size_t i = 0; i < remotes.size(); ++i) {
        const ChurnRemote& remote = remotes[i];
        destroyedOnOpen += remote.destroyedOnOpen ? 1 : 0;
        const auto shown = std::ranges::find_if(ticks, [&](const Tick& t) { return t.acc == remote.acc; });
        if (shown != ticks.end()) firstSample.push_back(shown->end - remote.created);
        const bool livedLongEnough = !remote.destroyOnOpen && remote.destroying - remote.created >= 1s;
        livedLong += livedLongEnough ? 1 : 0;
        livedLongShown += livedLongEnough && shown != ticks.end() ? 1 : 0;
        const auto late = std::ranges::count_if(
            ticks, [&](const Tick& t) { return t.start > remote.destroyed && t.acc == remote.acc; });
        lateSamples += static_cast<int>(late);
        if (late > 0 || (livedLongEnough && shown == ticks.end()))
            std::cout << "churn: remote " << i << " on " << remote.node << ", shown " << (shown != ticks.end())
                      << ", shown after its destruction " << late << " times" << std::endl;
    }
    std::ranges::sort(firstSample);
    const double median = firstSample.empty() ? 0 : firstSample[firstSample.size() / 2].count();
    const double longest = firstSample.empty() ? 0 : firstSample.back().count();
    std::cout << "churn: " << remotes.size() << " remotes, " << destroyedOnOpen << " destroyed on open, " << livedLong
              << " lived >= 1 s of which " << livedLongShown << " shown, " << firstSample.size()
              << " shown in all; creation to first sample: median " << median << " ms, max " << longest << " ms; "
              << ticks.size() << " ticks; descriptors " << descriptorsBefore << " -> " << descriptorsAfter << std::endl;
    check(destroyedOnOpen >= 20, "at least 20 destroyed as the probe opened them", std::to_string(destroyedOnOpen));
    check(livedLong > 0 && livedLongShown == livedLong, "every remote that lived 1 s was connected and shown",
          std::to_string(livedLongShown) + " of " + std::to_string(livedLong));
    check(lateSamples == 0, "no sample of a destroyed remote shown after its destruction", std::to_string(lateSamples));
    check(descriptorsAfter == descriptorsBefore, "as many open descriptors at the end as at the start",
          std::to_string(descriptorsBefore) + " -> " + std::to_string(descriptorsAfter));
    std::cout << "KINEMO-SYSTEM: " << (failures == 0 ? "PASS " : "FAIL ") << "churn " << mode << std::endl;
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace kinemo::test

int main(int argc, char** argv) {
    const bool churn = argc >= 4 && std::string(argv[3]) == "churn";
    ::alarm(churn ? 240 : 120);  // a hang fails the test instead of holding the machine
    const unsigned seed = argc >= 5 ? static_cast<unsigned>(std::stoul(argv[4])) : std::random_device{}();
    if (churn) return kinemo::test::churn(argv[1], argv[2], seed);
    return argc == 3 ? kinemo::test::run(argv[1], argv[2]) : 2;
}
