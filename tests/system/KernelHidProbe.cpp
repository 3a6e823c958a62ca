// kinemo_system_probe generic|wiimote <descriptor fixture> churn [seed]: runs alone in the system
// test's virtual machine, makes emulated HID devices through /dev/uhid and drives the Linux HID
// platform and WiiRemote against the real kernel HID stack. Ends with
// "KINEMO-SYSTEM: PASS|FAIL churn <mode>".
#include "device/LinuxHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <linux/input.h>
#include <linux/uhid.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <iostream>
#include <poll.h>
#include <random>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace kinemo::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const HidAttributes kRemoteIds{kNintendoVendorId, kWiiRemoteProductId};

// What Linux's wiimote driver waits for after some of its requests while it sets a remote up: its
// status request 0x15, memory write 0x16 and memory read 0x17 (answered with 0x21: nothing there).
std::optional<Bytes> driverAnswer(const Bytes& output) {
    if (output.empty()) return std::nullopt;
    if (output[0] == 0x15) return Bytes{kStatusReportId, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8};
    if (output[0] == 0x16) return Bytes{kAcknowledgeReportId, 0x00, 0x00, 0x16, 0x00};
    if (output[0] == 0x17 && output.size() >= 5) return accReport(0xF8, output[3], output[4], 22, 0x21);
    return std::nullopt;
}

// An emulated HID device. While it is served it answers what Linux's wiimote driver asks while it
// sets a remote up (so that the driver need not wait out its time-outs), keeps the output reports,
// sends `stream` (if any) every 10 ms, and reads the watch on /dev for the device's node and every
// open of it (the probe's: nothing else runs here). Closing /dev/uhid destroys the device.
class UhidDevice {
public:
    UhidDevice(const std::string& uniq, std::uint16_t bus, HidAttributes ids, const Bytes& descriptor,
               Bytes stream = {})
        : uniq_(uniq), stream_(std::move(stream)) {
        ::inotify_add_watch(watch_, "/dev", IN_CREATE | IN_OPEN);
        uhid_event event{.type = UHID_CREATE2, .u = {}};
        auto& create = event.u.create2;
        std::strncpy(reinterpret_cast<char*>(create.name), uniq.c_str(), sizeof create.name - 1);
        std::strncpy(reinterpret_cast<char*>(create.uniq), uniq.c_str(), sizeof create.uniq - 1);
        create.rd_size = static_cast<std::uint16_t>(std::min(descriptor.size(), sizeof create.rd_data));
        std::copy_n(descriptor.begin(), create.rd_size, create.rd_data);
        create.bus = bus;
        create.vendor = ids.vendorId;
        create.product = ids.productId;
        send(event);
    }
    ~UhidDevice() {
        ::close(watch_);
        ::close(fd_);
    }

    // Serves the device until `done` holds, or `deadline` comes; tells whether `done` holds.
    bool serveUntil(Clock::time_point deadline, const std::function<bool()>& done) {
        for (auto nextReport = Clock::now(); !done();) {
            const auto now = Clock::now();
            if (now >= deadline) return false;
            if (!stream_.empty() && now >= nextReport) {
                sendInput(stream_);
                nextReport = now + 10ms;
            }
            pollfd fds[2] = {{fd_, POLLIN, 0}, {watch_, POLLIN, 0}};
            const auto wake = std::min(deadline, stream_.empty() ? now + 10ms : nextReport);
            if (::poll(fds, 2, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wake - now).count())) <= 0)
                continue;
            if (fds[0].revents & POLLIN) answer();
            if (fds[1].revents & POLLIN) watchNodes();
        }
        return true;
    }
    // Its /dev/hidrawN, empty if none came within 10 s.
    std::string waitForNode() {
        serveUntil(Clock::now() + 10s, [&] { return !node.empty(); });
        return node;
    }
    // Whether `report` came as an output report, through the node's write and the kernel.
    bool received(const Bytes& report) const { return std::ranges::count(outputs_, report) > 0; }
    int opensSoFar() {
        watchNodes();
        return opens;
    }
    void sendInput(const Bytes& report) {
        uhid_event event{.type = UHID_INPUT2, .u = {}};
        event.u.input2.size = static_cast<std::uint16_t>(report.size());
        std::ranges::copy(report, event.u.input2.data);
        send(event);
    }
    void destroy() { send({.type = UHID_DESTROY, .u = {}}); }  // as when a remote is switched off

    std::string node;
    int opens = 0;

private:
    // The kernel refuses an input report before it has set the device up: nothing to do about it.
    void send(const uhid_event& event) { [[maybe_unused]] const auto written = ::write(fd_, &event, sizeof event); }

    void answer() {
        uhid_event event{};
        if (::read(fd_, &event, sizeof event) <= 0 || event.type != UHID_OUTPUT) return;
        const auto& output = event.u.output;
        outputs_.emplace_back(output.data, output.data + std::min<std::size_t>(output.size, UHID_DATA_MAX));
        if (const std::optional<Bytes> reply = driverAnswer(outputs_.back())) sendInput(*reply);
    }

    void watchNodes() {
        alignas(inotify_event) char buffer[4096];
        const ssize_t length = ::read(watch_, buffer, sizeof buffer);
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len > 0 ? event->name : "";
            if (node.empty()) {  // a new node is this device's when its uevent names the device's uniq
                std::ifstream uevent("/sys/class/hidraw/" + name + "/device/uevent");
                for (std::string line; std::getline(uevent, line);)
                    if (line == "HID_UNIQ=" + uniq_) node = "/dev/" + name;
            }
            opens += (event->mask & IN_OPEN) && "/dev/" + name == node ? 1 : 0;
        }
    }

    const std::string uniq_;
    const Bytes stream_;
    int fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    int watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    std::vector<Bytes> outputs_;
};

int checks = 0;
int failures = 0;

void check(bool ok, const std::string& what, const std::string& detail = {}) {
    failures += ok ? 0 : 1;
    std::cout << (ok ? "ok " : "not ok ") << ++checks << " - " << what << " (" << detail << ")" << std::endl;
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
    bool asked = false;  // the request for continuous accelerometer reports reached it
    // Under the Wii Remote driver a destruction can take seconds: the driver first waits out the
    // questions it asked while it set the remote up, and that sends nothing meanwhile.
    Clock::time_point created;
    Clock::time_point destroying;
    Clock::time_point destroyed;
};

struct Tick {
    Clock::time_point start;
    Clock::time_point end;  // when the program would show its sample
    AccTriple acc{};
};

long openDescriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator{});
}

void checkTheChurn(const Bytes& descriptor, unsigned seed) {
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
    // Another HID device, there all along and numbered before the remotes: every search meets it.
    UhidDevice mouse("kinemo-mouse", BUS_USB, {0x046D, 0xC077},
                     {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x09, 0x30, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06, 0xc0});
    mouse.waitForNode();
    LinuxHidPlatform platform;
    WiiRemote wiimote(platform);
    wiimote.requestAccelerometerReports(ReportDelivery::Continuous);  // as the program starts
    const long descriptorsBefore = openDescriptors();
    std::atomic<bool> made{false};
    std::jthread maker([&] {
        for (std::size_t i = 0; i < remotes.size(); ++i) {
            ChurnRemote& remote = remotes[i];
            const Bytes report = accReport(remote.acc[0], remote.acc[1], remote.acc[2]);
            remote.created = Clock::now();
            UhidDevice device("kinemo-churn-" + std::to_string(i), BUS_BLUETOOTH, kRemoteIds, descriptor, report);
            // The probe holds the node open right now.
            auto openedNow = [&] { return remote.destroyOnOpen && device.opens > 0; };
            remote.destroyedOnOpen = device.serveUntil(remote.created + remote.lifetime, openedNow);
            remote.destroying = Clock::now();
            device.destroy();
            remote.destroyed = Clock::now();
            remote.asked = device.received(modeRequest(ReportDelivery::Continuous));
            std::this_thread::sleep_for(remote.gap);
        }
        made = true;
    });
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

    int destroyedOnOpen = 0;
    int livedLong = 0;
    int livedLongShown = 0;
    int lateSamples = 0;
    int livedLongAsked = 0;
    std::vector<std::chrono::duration<double, std::milli>> firstSample;
    for (const ChurnRemote& remote : remotes) {
        destroyedOnOpen += remote.destroyedOnOpen ? 1 : 0;
        const auto shown = std::ranges::find_if(ticks, [&](const Tick& t) { return t.acc == remote.acc; });
        if (shown != ticks.end()) firstSample.push_back(shown->end - remote.created);
        const bool livedLongEnough = !remote.destroyOnOpen && remote.destroying - remote.created >= 1s;
        livedLong += livedLongEnough ? 1 : 0;
        livedLongShown += livedLongEnough && shown != ticks.end() ? 1 : 0;
        livedLongAsked += livedLongEnough && remote.asked ? 1 : 0;
        const auto late = std::ranges::count_if(
            ticks, [&](const Tick& t) { return t.start > remote.destroyed && t.acc == remote.acc; });
        lateSamples += static_cast<int>(late);
    }
    std::ranges::sort(firstSample);
    const double median = firstSample.empty() ? 0 : firstSample[firstSample.size() / 2].count();
    const double longest = firstSample.empty() ? 0 : firstSample.back().count();
    std::cout << "churn: " << remotes.size() << " remotes, " << destroyedOnOpen << " destroyed on open, " << livedLong
              << " lived >= 1 s of which " << livedLongShown << " shown, " << firstSample.size()
              << " shown in all; creation to first sample: median " << median << " ms, max " << longest << " ms; "
              << ticks.size() << " ticks; descriptors " << descriptorsBefore << " -> " << descriptorsAfter << std::endl;
    check(destroyedOnOpen >= 20, "at least 20 destroyed as the probe opened them", std::to_string(destroyedOnOpen));
    check(livedLong > 0, "some remotes lived 1 s", std::to_string(livedLong));
    check(livedLongShown == livedLong, "every remote that lived 1 s was connected and shown",
          std::to_string(livedLongShown) + " of " + std::to_string(livedLong));
    check(livedLongAsked == livedLong, "every remote that lived 1 s was asked for continuous reports",
          std::to_string(livedLongAsked) + " of " + std::to_string(livedLong));
    const int mouseOpens = mouse.opensSoFar();
    check(mouseOpens == 0, "no search opened the mouse", std::to_string(mouseOpens));
    check(lateSamples == 0, "no sample of a destroyed remote shown after its destruction", std::to_string(lateSamples));
    check(descriptorsAfter == descriptorsBefore, "as many open descriptors at the end as at the start",
          std::to_string(descriptorsBefore) + " -> " + std::to_string(descriptorsAfter));
}

}  // namespace
}  // namespace kinemo::test

int main(int argc, char** argv) {
    if (argc < 4 || std::string(argv[3]) != "churn") return 2;
    ::alarm(240);  // a hang fails the test instead of holding the machine
    const std::string mode = argv[1];
    kinemo::test::Bytes descriptor = kinemo::test::readHexFixture(argv[2]);
    if (mode == "wiimote") descriptor.push_back(0x00);  // the form with the extra byte some remotes send
    const unsigned seed = argc >= 5 ? static_cast<unsigned>(std::stoul(argv[4])) : std::random_device{}();
    kinemo::test::checkTheChurn(descriptor, seed);
    const bool passed = kinemo::test::failures == 0;
    std::cout << "KINEMO-SYSTEM: " << (passed ? "PASS " : "FAIL ") << "churn " << mode << std::endl;
    return passed ? 0 : 1;
}
