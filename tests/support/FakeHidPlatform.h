// A scripted HID platform: devices with report queues, written reports recorded,
// closes counted, the search pause recorded instead of slept.
#pragma once

#include "device/HidPlatform.h"
#include "device/WiiRemoteProtocol.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <map>
#include <utility>

namespace kinemo::test {

using Bytes = std::vector<std::uint8_t>;

struct FakeDeviceState {
    int openError = 0;                        // the errno that refuses the open; 0 opens
    std::optional<HidAttributes> attributes;  // what the opened device tells; empty: unreadable
    HidAttributes listedAs{};                 // what the enumeration tells
    std::optional<ReportLengths> reportLengths = ReportLengths{22, 22};
    // What read() yields, front first; then NoneWaiting. With `alwaysReport` set, `repeatedReport`
    // also waits once after every write, as from a remote in step with the tick.
    std::deque<Bytes> inputQueue;
    bool alwaysReport = false;
    bool repeatedTaken = false;
    Bytes repeatedReport;
    bool failNextRead = false;  // the next read says the device went away
    std::vector<Bytes> written;
    int closes = 0;
};

class FakeHidDevice final : public HidDevice {
public:
    explicit FakeHidDevice(std::shared_ptr<FakeDeviceState> state) : state_(std::move(state)) {}
    ~FakeHidDevice() override { ++state_->closes; }

    std::optional<HidAttributes> attributes() override { return state_->attributes; }
    std::optional<ReportLengths> reportLengths() override { return state_->reportLengths; }
    bool write(std::span<const std::uint8_t> report) override {
        state_->written.emplace_back(report.begin(), report.end());
        state_->repeatedTaken = false;
        return true;
    }
    ReadStatus read(std::span<std::uint8_t> buffer) override {
        if (std::exchange(state_->failNextRead, false)) return ReadStatus::Error;
        if (state_->inputQueue.empty() && state_->alwaysReport && !std::exchange(state_->repeatedTaken, true))
            state_->inputQueue.push_back(state_->repeatedReport);
        if (state_->inputQueue.empty()) return ReadStatus::NoneWaiting;
        const Bytes& report = state_->inputQueue.front();
        std::copy_n(report.begin(), std::min(report.size(), buffer.size()), buffer.begin());
        state_->inputQueue.pop_front();
        return ReadStatus::Report;
    }

private:
    std::shared_ptr<FakeDeviceState> state_;
};

class FakeHidPlatform final : public HidPlatform {
public:
    FakeDeviceState& addDevice(const std::string& path, std::uint16_t vendor, std::uint16_t product) {
        auto& state = devices_[path] = std::make_shared<FakeDeviceState>();
        state->listedAs = {vendor, product};
        state->attributes = state->listedAs;
        order_.push_back(path);
        return *state;
    }
    FakeDeviceState& addWiiRemote(const std::string& path = "/dev/hidraw0") {
        return addDevice(path, kNintendoVendorId, kWiiRemoteProductId);
    }
    FakeDeviceState& device(const std::string& path) { return *devices_.at(path); }
    void removeDevice(const std::string& path) { std::erase(order_, path); }

    std::vector<HidInterface> enumerate() override {
        std::vector<HidInterface> listed;
        for (const auto& path : order_) listed.push_back({path, devices_[path]->listedAs});
        return listed;
    }
    HidOpenResult open(const std::string& path) override {
        if (std::ranges::count(order_, path) == 0) return {nullptr, ENOENT};
        if (const int error = devices_[path]->openError) return {nullptr, error};
        return {std::make_unique<FakeHidDevice>(devices_[path])};
    }
    void pause(std::chrono::milliseconds duration) override { pauses.push_back(duration); }

    std::vector<std::chrono::milliseconds> pauses;

private:
    std::vector<std::string> order_;
    std::map<std::string, std::shared_ptr<FakeDeviceState>> devices_;
};

// An input report `reportId` with X, Y, Z where the accelerometer report has them, zeros up to `length`.
inline Bytes accReport(std::uint8_t x, std::uint8_t y, std::uint8_t z, std::size_t length = 22,
                       std::uint8_t reportId = kAccelerometerReportId) {
    Bytes report{reportId, 0x00, 0x00, x, y, z};
    report.resize(length);
    return report;
}

// The whole output report that asks for accelerometer reports.
inline Bytes modeRequest(ReportDelivery delivery, std::size_t length = 22) {
    const auto request = accelerometerModeRequest(delivery);
    Bytes report(request.begin(), request.end());
    report.resize(length);
    return report;
}

// A byte fixture written as hex text: pairs of hex digits, '#' comments to the line's end.
inline Bytes readHexFixture(const std::string& path) {
    std::ifstream file(path);
    Bytes bytes;
    for (std::string word; file >> word;) {
        if (word[0] == '#') std::getline(file, word);
        else bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

}  // namespace kinemo::test
