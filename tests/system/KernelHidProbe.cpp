// Runs inside the test's virtual machine, as its only program: makes emulated HID
// devices through /dev/uhid and drives the program's own Linux HID platform and
// CWiimote against the real kernel HID stack. Prints one line per check and at the
// end "KINEMO-SYSTEM: PASS <mode>" or "KINEMO-SYSTEM: FAIL <mode>".
//
//   kinemo_system_probe generic|wiimote <descriptor fixture>
#include "device/CWiimote.h"
#include "device/LinuxHidPlatform.h"
#include "tests/device/DescriptorFixture.h"
#include "tests/system/UhidDevice.h"

#include <linux/input.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace kinemo::test {
namespace {

using namespace std::chrono_literals;

class Checks {
public:
    bool operator()(bool ok, const std::string& what, const std::string& detail = {}) {
        ++count_;
        if (!ok) ++failed_;
        std::cout << (ok ? "ok " : "not ok ") << count_ << " - " << what;
        if (!detail.empty()) std::cout << " (" << detail << ")";
        std::cout << std::endl;
        return ok;
    }
    int failed() const { return failed_; }
    int count() const { return count_; }

private:
    int count_ = 0;
    int failed_ = 0;
};

// The Linux platform, with its searches and opens counted.
class CountingPlatform final : public HidPlatform {
public:
    std::vector<std::string> enumerate() override {
        ++enumerations;
        return linux_.enumerate();
    }
    std::unique_ptr<HidDevice> open(const std::string& path) override {
        ++opens;
        return linux_.open(path);
    }
    void pause(std::chrono::milliseconds duration) override { linux_.pause(duration); }

    int enumerations = 0;
    int opens = 0;

private:
    LinuxHidPlatform linux_;
};

std::string text(const AccTriple& acc) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02X %02X %02X", acc[0], acc[1], acc[2]);
    return buf;
}

Bytes modeRequest(std::uint8_t flags) {
    Bytes report(22, 0);
    report[0] = 0x12;
    report[1] = flags;
    report[2] = 0x31;
    return report;
}

UhidSetup remoteSetup(const std::string& uniq, std::uint32_t product, Bytes descriptor) {
    return {"Nintendo RVL-CNT-01", uniq, BUS_BLUETOOTH, 0x057E, product, std::move(descriptor), true};
}

// As an unprivileged user the remote's node (root's, mode 0600) cannot be opened:
// the search finds nothing and the user is told once which node and what to do.
bool hintForUnopenableRemote(const std::string& remoteNode, const std::string& mouseNode, std::string& detail) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        int ok = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        std::ostringstream hint;
        {
            LinuxHidPlatform platform(hint);
            CWiimote wiimote(platform);
            ok = ok && !wiimote.FindTheHid();
            const std::string first = hint.str();
            ok = ok && !wiimote.FindTheHid() && hint.str() == first;
        }
        const std::string out = (ok ? "1" : "0") + hint.str();
        [[maybe_unused]] const auto written = ::write(pipeFds[1], out.data(), out.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string out;
    char buf[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    detail = out.empty() ? std::string() : "\n" + out.substr(1);
    return out.size() > 1 && out[0] == '1' && out.find(remoteNode + ",") != std::string::npos &&
           out.find("Permission denied") != std::string::npos && out.find("udevadm") != std::string::npos &&
           out.find(mouseNode + ",") == std::string::npos;
}

int run(const std::string& mode, const std::string& fixture) {
    Checks check;
    const bool withDriver = mode == "wiimote";
    Bytes descriptor = readHexFixture(fixture);
    if (withDriver) descriptor.push_back(0x00);  // the form with the extra byte some remotes send
    check(descriptor.size() >= 217, "descriptor fixture read");

    // Other HID devices, found before the remote in the enumeration.
    const Bytes mouseDescriptor = {0x05, 0x01, 0x09, 0x02, 0xa1, 0x01, 0x09, 0x01, 0xa1, 0x00, 0x05, 0x09, 0x19,
                                   0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01, 0x81, 0x02,
                                   0x95, 0x01, 0x75, 0x05, 0x81, 0x01, 0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x15,
                                   0x81, 0x25, 0x7f, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xc0, 0xc0};
    UhidDevice mouse({"Kinemo test mouse", "kinemo-mouse", BUS_USB, 0x046D, 0xC077, mouseDescriptor, false});
    UhidDevice otherNintendo({"Kinemo other pad", "kinemo-other", BUS_BLUETOOTH, 0x057E, 0x0001, descriptor, false});
    const std::string mouseNode = mouse.waitForHidrawNode(10s);
    const std::string otherNode = otherNintendo.waitForHidrawNode(10s);
    check(!mouseNode.empty() && !otherNode.empty(), "the other devices have hidraw nodes", mouseNode + " " + otherNode);

    CountingPlatform platform;
    CWiimote wiimote(platform);
    const auto paths = platform.enumerate();
    check(std::set<std::string>(paths.begin(), paths.end()) == std::set<std::string>{mouseNode, otherNode},
          "one entry per hidraw node");
    check(!wiimote.FindTheHid(), "no remote yet: the search finds nothing");

    auto remote = std::make_unique<UhidDevice>(remoteSetup("kinemo-remote-1", 0x0306, descriptor));
    const std::string remoteNode = remote->waitForHidrawNode(10s);
    check(!remoteNode.empty(), "the remote has a hidraw node", remoteNode);
    const std::string driver = remote->driverName();
    check(driver == (withDriver ? "wiimote" : "hid-generic"), "driver bound to the remote", driver);

    std::string hint;
    check(hintForUnopenableRemote(remoteNode, mouseNode, hint), "unopenable remote: one hint naming its node", hint);

    // Found among the others, with the lengths of its descriptor.
    AccTriple acc{};
    check(wiimote.Config(0x12, 0x04, 0x31), "Config finds and opens the remote");
    check(wiimote.devicePath() == remoteNode, "the remote's node is the one opened", wiimote.devicePath());
    check(wiimote.caps().inputReportByteLength == 22 && wiimote.caps().outputReportByteLength == 22,
          "report lengths 22 and 22 from the descriptor");
    check(remote->waitForOutput(modeRequest(0x04), 0, 3s), "the 22-byte report 12 04 31 00.. reaches the device");

    // Input.
    remote->sendInput(Bytes{0x31, 0x00, 0x00, 0x80, 0x81, 0x9A});
    wiimote.GetAcc(acc);
    check(acc == AccTriple{0x80, 0x81, 0x9A}, "0x31 report decoded", text(acc));

    // An empty queue keeps the link and the triple, and every call writes again.
    const int opensBefore = platform.opens;
    const std::size_t outputsBefore = remote->outputs().size();
    for (int i = 0; i < 3; ++i) wiimote.GetAcc(acc);
    check(wiimote.isConnected() && acc == AccTriple{0x80, 0x81, 0x9A} && platform.opens == opensBefore,
          "empty queue: still connected, same triple, no reopening", text(acc));
    check(remote->waitForOutput(modeRequest(0x04), outputsBefore, 3s), "every call sends the report again");

    // Stray report IDs.
    remote->sendInput(Bytes{0x31, 0x00, 0x00, 0x01, 0x02, 0x03});
    remote->sendInput(Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});
    remote->sendInput(Bytes{0x22, 0x00, 0x00, 0x12, 0x00});
    wiimote.GetAcc(acc);
    check(acc == AccTriple{0x01, 0x02, 0x03}, "0x20 and 0x22 after a 0x31 report are skipped", text(acc));
    remote->sendInput(Bytes{0x20, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});
    wiimote.GetAcc(acc);
    check(wiimote.isConnected() && acc == AccTriple{0x01, 0x02, 0x03}, "a lone 0x20 keeps the triple", text(acc));

    // A streaming remote polled every 10 ms.
    remote->startStream();
    int fresh = 0;
    bool allStreamValues = true;
    AccTriple previous = acc;
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(10ms);
        wiimote.GetAcc(acc);
        if (acc != previous) {
            ++fresh;
            allStreamValues = allStreamValues && UhidDevice::isStreamValue(acc);
        }
        previous = acc;
    }
    remote->stopStream();
    check(wiimote.isConnected() && fresh >= 25 && allStreamValues, "streamed reports are decoded",
          std::to_string(fresh) + " fresh of 100");

    // Removal and return.
    remote->destroy();
    wiimote.GetAcc(acc);
    check(!wiimote.isConnected() && acc == AccTriple{0, 0, 0}, "removal is noticed: 0, 0, 0 and disconnected",
          text(acc));
    wiimote.GetAcc(acc);
    check(!wiimote.isConnected(), "the search finds nothing while the remote is away");

    remote = std::make_unique<UhidDevice>(remoteSetup("kinemo-remote-2", 0x0306, descriptor));
    const std::string returnedNode = remote->waitForHidrawNode(10s);
    wiimote.GetAcc(acc);
    check(wiimote.isConnected() && wiimote.devicePath() == returnedNode, "reconnects when the remote comes back",
          returnedNode + " " + wiimote.devicePath());
    check(remote->waitForOutput(modeRequest(0x04), 0, 3s), "the report reaches the returned remote");
    remote->sendInput(Bytes{0x31, 0x00, 0x00, 0x44, 0x55, 0x66});
    wiimote.GetAcc(acc);
    check(acc == AccTriple{0x44, 0x55, 0x66}, "the returned remote's reports are decoded", text(acc));

    // The Wii Remote Plus.
    remote.reset();
    wiimote.GetAcc(acc);
    remote = std::make_unique<UhidDevice>(remoteSetup("kinemo-remote-plus", 0x0330, descriptor));
    const std::string plusNode = remote->waitForHidrawNode(10s);
    wiimote.GetAcc(acc);
    check(wiimote.isConnected() && wiimote.devicePath() == plusNode, "the Wii Remote Plus (0330) is taken",
          plusNode + " " + wiimote.devicePath());
    remote->sendInput(Bytes{0x31, 0x00, 0x00, 0x9A, 0x9B, 0x9C});
    wiimote.GetAcc(acc);
    check(acc == AccTriple{0x9A, 0x9B, 0x9C}, "the Wii Remote Plus's reports are decoded", text(acc));

    std::cout << "KINEMO-SYSTEM: " << (check.failed() == 0 ? "PASS " : "FAIL ") << mode << " (" << check.failed()
              << " of " << check.count() << " checks failed)" << std::endl;
    return check.failed() == 0 ? 0 : 1;
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
