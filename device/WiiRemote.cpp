#include "device/WiiRemote.h"

#include <algorithm>
#include <vector>

namespace kinemo {

namespace {
// hidraw keeps at most 64 reports per reader; a few more reads than that always
// reach the end of the queue, and a device that somehow streams faster than we
// read cannot hold the user-interface thread.
constexpr int kMaxReportsPerExchange = 256;
}  // namespace

WiiRemote::WiiRemote(HidPlatform& platform) : platform_(platform) {}

WiiRemote::~WiiRemote() = default;  // closes the open device, if any

bool WiiRemote::requestAccelerometerReports(ReportDelivery delivery) {
    std::ranges::copy(accelerometerModeRequest(delivery), outputReport_.begin());
    exchangeReports();
    return isConnected_;
}

void WiiRemote::readAcceleration(AccTriple& values) {
    exchangeReports();
    values = acc_;
}

void WiiRemote::exchangeReports() {
    if (!isConnected_) {
        isConnected_ = connect();
        // Kept on purpose: the pause runs inside the tick on the user-interface
        // thread, so without a remote the window answers about five times a second
        // and the search does not run a hundred times a second.
        platform_.pause(kSearchPause);
    }
    if (isConnected_) {
        sendReportMode();
        receiveReports();
    }
}

bool WiiRemote::connect() {
    // A handle of an earlier link would otherwise outlive a search that fails.
    device_.reset();
    isConnected_ = false;
    hasReading_ = false;
    std::optional<OpenObstacle> obstacle;
    for (const auto& [path, listed] : platform_.enumerate()) {
        // While no remote is there this runs five times a second; opening every node
        // would keep all of them powered up.
        if (!isWiiRemote(listed)) continue;
        auto [device, openError] = platform_.open(path);
        if (!device) {
            // Searched on: another remote may open; the first refusal is the one to tell.
            if (!obstacle && isOpenObstacle(openError)) obstacle = OpenObstacle{path, listed, openError};
            continue;
        }
        const std::optional<HidAttributes> attributes = device->attributes();
        // The listing may be stale by now: the node may belong to another device.
        if (!attributes || !isWiiRemote(*attributes)) continue;  // closed as it goes out of scope
        if (!readReportLengths(*device)) continue;
        device_ = std::move(device);
        devicePath_ = path;
        attributes_ = *attributes;
        isConnected_ = true;
        break;
    }
    obstacle_ = isConnected_ ? std::nullopt : obstacle;
    return isConnected_;
}

bool WiiRemote::readReportLengths(HidDevice& device) {
    const std::optional<ReportLengths> lengths = device.reportLengths();
    // An output report longer than our 256-byte buffer cannot be served, so such a
    // device is passed over rather than written past the end.
    if (!lengths || lengths->outputReportByteLength > outputReport_.size()) return false;
    reportLengths_ = *lengths;
    inputReport_.assign(reportLengths_.inputReportByteLength, 0);
    return true;
}

void WiiRemote::sendReportMode() {
    const std::size_t n = reportLengths_.outputReportByteLength;
    // A failed write is not examined: a lost device shows up on the read.
    device_->write(std::span<const std::uint8_t>(outputReport_.data(), n));
}

void WiiRemote::receiveReports() {
    // The remote streams at about 100 Hz against a 10 ms tick, so an empty queue is
    // routine and keeps the link. Of all reports waiting now the newest accelerometer
    // report is decoded, so that the sample shown is the current one; status and
    // acknowledgement reports carry no acceleration.
    std::vector<std::uint8_t>& buffer = inputReport_;
    for (int i = 0; i < kMaxReportsPerExchange; ++i) {
        std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
        const ReadStatus status = device_->read(buffer);
        if (status == ReadStatus::NoneWaiting) return;
        if (status == ReadStatus::Error) {
            disconnect();
            return;
        }
        if (buffer.size() >= kAccelerometerFirstByte + acc_.size() && buffer[0] == kAccelerometerReportId) {
            std::copy_n(buffer.begin() + kAccelerometerFirstByte, acc_.size(), acc_.begin());
            hasReading_ = true;
        }
    }
}

void WiiRemote::disconnect() {
    device_.reset();
    isConnected_ = false;
    hasReading_ = false;
    acc_ = {0, 0, 0};
}

}  // namespace kinemo
