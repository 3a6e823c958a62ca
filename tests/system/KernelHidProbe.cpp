// Runs inside the test's virtual machine, as its only program: makes emulated HID
// devices through /dev/uhid and drives the program's own Linux HID platform and
// WiiRemote against the real kernel HID stack. Prints one line per check and at the
// end "KINEMO-SYSTEM: PASS <mode>" or "KINEMO-SYSTEM: FAIL <mode>".
//
//   kinemo_system_probe generic|wiimote <descriptor fixture>
#include "device/WiiRemote.h"
#include "device/LinuxHidPlatform.h"
#include "tests/device/DescriptorFixture.h"
#include "tests/support/FakeHidPlatform.h"
#include "tests/system/UhidDevice.h"

#include <linux/input.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kinemo::test {
namespace {

using namespace std::chrono_literals;

int checks = 0;
int failures = 0;

void check(bool ok, const std::string& what, const std::string& detail = {}) {
    ++checks;
    failures += ok ? 0 : 1;
    std::cout << (ok ? "ok " : "not ok ") << checks << " - " << what << (detail.empty() ? "" : " (" + detail + ")")
              << std::endl;
}

// The Linux platform, with its opens counted.
class CountingPlatform final : public HidPlatform {
public:
    std::vector<HidInterface> enumerate() override { return linux_.enumerate(); }
    std::unique_ptr<HidDevice> open(const std::string& path) override {
        ++opens;
        return linux_.open(path);
    }
    void pause(std::chrono::milliseconds duration) override { linux_.pause(duration); }

    int opens = 0;

private:
    LinuxHidPlatform linux_;
};

std::string text(const AccTriple& acc) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02X %02X %02X", acc[0], acc[1], acc[2]);
    return buf;
}

// As an unprivileged user the remote's node (root's, mode 0600) cannot be opened:
// the search finds nothing and the user is told once which node and what to do. The
// child process prints the hint and passes its verdict as its exit status.
bool hintForUnopenableRemote(const std::string& remoteNode, const std::string& mouseNode) {
    std::cout.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        std::ostringstream hint;
        {
            LinuxHidPlatform platform(hint);
            WiiRemote wiimote(platform);
            ok = ok && !wiimote.connect();
            const std::string first = hint.str();
            ok = ok && !wiimote.connect() && hint.str() == first;
        }
        const std::string out = hint.str();
        std::cout << out << std::flush;
        auto has = [&](const std::string& part) { return out.find(part) != std::string::npos; };
        ok = ok && has(remoteNode + ",") && has("Permission denied") && has("udevadm") && !has(mouseNode + ",");
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int run(const std::string& mode, const std::string& fixture) {
    const bool withDriver = mode == "wiimote";
    Bytes descriptor = readHexFixture(fixture);
    if (withDriver) descriptor.push_back(0x00);  // the form with the extra byte some remotes send
    check(descriptor.size() >= 217, "descriptor fixture read");

    // Other HID devices, found before the remote in the enumeration.
    const Bytes mouseDescriptor = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x09, 0x01, 0xa1, 0x00, 0x05, 0x09, 0x19,
                                   0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
                                   0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15,
                                   0x81, 0x25, 0x7f, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xc0, 0xc0};
    UhidDevice mouse({"Kinemo test mouse", "kinemo-mouse", BUS_USB, 0x046D, 0xC077, mouseDescriptor});
    UhidDevice otherNintendo({"Kinemo other pad", "kinemo-other", BUS_BLUETOOTH, 0x057E, 0x0001, descriptor});
    const std::string mouseNode = mouse.waitForHidrawNode(10s);
    const std::string otherNode = otherNintendo.waitForHidrawNode(10s);
    check(!mouseNode.empty() && !otherNode.empty(), "the other devices have hidraw nodes", mouseNode + " " + otherNode);

    CountingPlatform platform;
    WiiRemote wiimote(platform);
    const std::vector<HidInterface> others = {{mouseNode, {0x046D, 0xC077}}, {otherNode, {0x057E, 0x0001}}};
    check(std::ranges::is_permutation(platform.enumerate(), others), "one entry per hidraw node, with its ids");
    check(!wiimote.connect(), "no remote yet: the search finds nothing");

    auto plugInRemote = [&](const char* uniq, std::uint16_t product) {
        return std::make_unique<UhidDevice>(
            UhidSetup{"Nintendo RVL-CNT-01", uniq, BUS_BLUETOOTH, 0x057E, product, descriptor});
    };
    auto remote = plugInRemote("kinemo-remote-1", 0x0306);
    const std::string remoteNode = remote->waitForHidrawNode(10s);
    check(!remoteNode.empty(), "the remote has a hidraw node", remoteNode);
    const std::string driver = remote->driverName();
    check(driver == (withDriver ? "wiimote" : "hid-generic"), "driver bound to the remote", driver);
    check(hintForUnopenableRemote(remoteNode, mouseNode), "unopenable remote: one hint naming its node");

    // Found among the others, with the lengths of its descriptor.
    AccTriple acc{};
    check(wiimote.setReportMode(0x12, 0x04, 0x31), "Config finds and opens the remote");
    check(wiimote.devicePath() == remoteNode, "the remote's node is the one opened", wiimote.devicePath());
    check(wiimote.caps().inputReportByteLength == 22 && wiimote.caps().outputReportByteLength == 22,
          "report lengths 22 and 22 from the descriptor");
    check(remote->waitForOutput(modeRequest(0x04), 0, 3s), "the 22-byte report 12 04 31 00.. reaches the device");

    remote->sendInput(accReport(0x80, 0x81, 0x9A, 6));
    wiimote.readAcceleration(acc);
    check(acc == AccTriple{0x80, 0x81, 0x9A}, "0x31 report decoded", text(acc));

    // An empty queue keeps the link and the triple, and every call writes again.
    const int opensBefore = platform.opens;
    const std::size_t outputsBefore = remote->outputCount();
    for (int i = 0; i < 3; ++i) wiimote.readAcceleration(acc);
    check(wiimote.isConnected() && acc == AccTriple{0x80, 0x81, 0x9A} && platform.opens == opensBefore,
          "empty queue: still connected, same triple, no reopening", text(acc));
    check(remote->waitForOutput(modeRequest(0x04), outputsBefore, 3s), "every call sends the report again");

    remote->sendInput(accReport(0x01, 0x02, 0x03, 6));
    remote->sendInput(Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});
    remote->sendInput(Bytes{0x22, 0x00, 0x00, 0x12, 0x00});
    wiimote.readAcceleration(acc);
    check(acc == AccTriple{0x01, 0x02, 0x03}, "0x20 and 0x22 after a 0x31 report are skipped", text(acc));
    remote->sendInput(Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});
    wiimote.readAcceleration(acc);
    check(wiimote.isConnected() && acc == AccTriple{0x01, 0x02, 0x03}, "a lone 0x20 keeps the triple", text(acc));

    // A remote streaming at 100 Hz (X running through 0x20..0x5F, Y = X + 0x40,
    // Z = X + 0x80), polled every 10 ms.
    int fresh = 0;
    bool allStreamValues = true;
    {
        std::jthread stream([&](std::stop_token stop) {
            auto next = std::chrono::steady_clock::now();
            for (unsigned n = 0; !stop.stop_requested(); ++n) {
                const auto x = static_cast<std::uint8_t>(0x20 + n % 0x40);
                remote->sendInput(accReport(x, x + 0x40, x + 0x80, 6));
                std::this_thread::sleep_until(next += 10ms);
            }
        });
        for (int i = 0; i < 100; ++i) {
            const AccTriple previous = acc;
            std::this_thread::sleep_for(10ms);
            wiimote.readAcceleration(acc);
            if (acc == previous) continue;
            ++fresh;
            allStreamValues = allStreamValues && acc[0] >= 0x20 && acc[0] < 0x60 && acc[1] == acc[0] + 0x40 &&
                              acc[2] == acc[0] + 0x80;
        }
    }
    check(wiimote.isConnected() && fresh >= 25 && allStreamValues, "streamed reports are decoded",
          std::to_string(fresh) + " fresh of 100");

    // Removal and return, also as a Wii Remote Plus.
    remote->destroy();
    wiimote.readAcceleration(acc);
    check(!wiimote.isConnected() && acc == AccTriple{0, 0, 0}, "removal is noticed: 0, 0, 0 and disconnected",
          text(acc));
    wiimote.readAcceleration(acc);
    check(!wiimote.isConnected(), "the search finds nothing while the remote is away");
    const struct {
        std::string what;
        const char* uniq;
        std::uint16_t product;
        AccTriple sent;
    } returns[] = {{"the returned remote", "kinemo-remote-2", 0x0306, {0x44, 0x55, 0x66}},
                   {"a Wii Remote Plus (0330)", "kinemo-remote-plus", 0x0330, {0x9A, 0x9B, 0x9C}}};
    for (const auto& back : returns) {
        remote.reset();
        wiimote.readAcceleration(acc);
        remote = plugInRemote(back.uniq, back.product);
        const std::string node = remote->waitForHidrawNode(10s);
        wiimote.readAcceleration(acc);
        check(wiimote.isConnected() && wiimote.devicePath() == node, "reconnects to " + back.what,
              node + " " + wiimote.devicePath());
        check(remote->waitForOutput(modeRequest(0x04), 0, 3s), "the report reaches " + back.what);
        remote->sendInput(accReport(back.sent[0], back.sent[1], back.sent[2], 6));
        wiimote.readAcceleration(acc);
        check(acc == back.sent, "the reports of " + back.what + " are decoded", text(acc));
    }
    check(mouse.opens() + otherNintendo.opens() == 0 && remote->opens() > 0, "no search opened the other devices");

    std::cout << "KINEMO-SYSTEM: " << (failures == 0 ? "PASS " : "FAIL ") << mode << " (" << failures << " of "
              << checks << " checks failed)" << std::endl;
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace kinemo::test

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kinemo_system_probe generic|wiimote <descriptor fixture>\n";
        return 2;
    }
    ::alarm(120);  // a hang fails the test instead of holding the machine
    return kinemo::test::run(argv[1], argv[2]);
}
