// The HID platform of Linux: hidraw nodes through hidapi, report lengths from the
// report descriptors the kernel publishes in sysfs.
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
    bool printed() const { return printed_; }

private:
    std::ostream& out_;
    bool printed_ = false;
};

std::string openFailureHintText(const std::string& path, const HidAttributes& attributes, int errorNumber);

// /dev/hidraw2 before /dev/hidraw10: paths compared with their digit runs as numbers.
bool hidPathLess(const std::string& a, const std::string& b);

// Reads the report descriptor of a hidraw node (/dev/hidrawN) from
// <sysfsRoot>/class/hidraw/hidrawN/device/report_descriptor, which every user may
// read, and computes its report lengths. Empty if it cannot be read or parsed.
std::optional<HidCaps> hidrawReportLengths(const std::string& devicePath, const std::string& sysfsRoot = "/sys");

class LinuxHidPlatform final : public HidPlatform {
public:
    // The open-failure hint goes to standard error.
    LinuxHidPlatform();
    explicit LinuxHidPlatform(std::ostream& hintStream);
    ~LinuxHidPlatform() override;
    LinuxHidPlatform(const LinuxHidPlatform&) = delete;
    LinuxHidPlatform& operator=(const LinuxHidPlatform&) = delete;

    // One entry per hidraw node, with the ids the kernel publishes in sysfs, in the
    // order of hidPathLess. No node is opened for this.
    std::vector<HidInterface> enumerate() override;
    std::unique_ptr<HidDevice> open(const std::string& path) override;
    void pause(std::chrono::milliseconds duration) override;

private:
    OpenFailureHint hint_;
    // Vendor and product of every node of the last enumeration, known without
    // opening it, so that a node that cannot be opened can still be recognised.
    std::map<std::string, HidAttributes> enumerated_;
};

}  // namespace kinemo
