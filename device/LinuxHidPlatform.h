// The HID platform of Linux: the kernel's hidraw nodes, listed from sysfs, then read,
// written and asked for their ids and report descriptor through the open node only.
#pragma once

#include "device/HidPlatform.h"

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace kinemo {

// Tells the user, once, why a Wii Remote that is present could not be opened and how
// to give the program access to it. Nothing in the window changes for this.
class OpenFailureHint {
public:
    explicit OpenFailureHint(std::ostream& out) : out_(out) {}
    // Prints the hint the first time only; `errorNumber` is the errno of the open.
    // Errors that say the node has gone meanwhile are passed over.
    void report(const std::string& path, const HidAttributes& attributes, int errorNumber);

private:
    std::ostream& out_;
    bool printed_ = false;
};

std::string openFailureHintText(const std::string& path, const HidAttributes& attributes, int errorNumber);

// /dev/hidraw2 before /dev/hidraw10: paths compared with their digit runs as numbers.
bool hidPathLess(const std::string& a, const std::string& b);

class LinuxHidPlatform final : public HidPlatform {
public:
    // The open-failure hint goes to standard error.
    LinuxHidPlatform();
    // The nodes are listed from <sysfsRoot>/class/hidraw and opened as <devRoot>/hidrawN.
    explicit LinuxHidPlatform(std::ostream& hintStream, std::string sysfsRoot = "/sys", std::string devRoot = "/dev");

    // One entry per hidraw node whose ids the kernel publishes in sysfs (a node that
    // goes away meanwhile is left out), in the order of hidPathLess. No node is
    // opened for this.
    std::vector<HidInterface> enumerate() override;
    // Everything the device then tells comes from the open node itself, so it is
    // about that node even if the listing is stale; a node that went away answers
    // every request with an error.
    HidOpenResult open(const std::string& path) override;
    void pause(std::chrono::milliseconds duration) override;

private:
    OpenFailureHint hint_;
    std::string sysfsRoot_;
    std::string devRoot_;
    // Vendor and product of every node of the last enumeration, known without
    // opening it, so that a node that cannot be opened can still be recognised.
    std::map<std::string, HidAttributes> enumerated_;
};

}  // namespace kinemo
