#include "tests/support/FakeHidPlatform.h"

#include <algorithm>
#include <stdexcept>

namespace kinemo::test {

namespace {
class FakeDevice final : public HidDevice {
public:
    explicit FakeDevice(std::shared_ptr<FakeDeviceState> state) : state_(std::move(state)) { ++state_->opens; }
    ~FakeDevice() override { ++state_->closes; }

    std::optional<HidAttributes> attributes() override {
        if (!state_->attributesReadable) return std::nullopt;
        return state_->attributes;
    }
    std::optional<HidCaps> caps() override {
        if (!state_->capsReadable) return std::nullopt;
        return state_->caps;
    }
    bool write(std::span<const std::uint8_t> report) override {
        state_->written.emplace_back(report.begin(), report.end());
        state_->repeatedTaken = false;
        return true;
    }
    ReadStatus read(std::span<std::uint8_t> buffer) override {
        if (state_->failNextRead) {
            state_->failNextRead = false;
            return ReadStatus::Error;
        }
        const std::vector<std::uint8_t>* report = nullptr;
        std::vector<std::uint8_t> front;
        if (!state_->inputQueue.empty()) {
            front = std::move(state_->inputQueue.front());
            state_->inputQueue.pop_front();
            report = &front;
        } else if (state_->alwaysReport && !state_->repeatedTaken) {
            state_->repeatedTaken = true;
            report = &state_->repeatedReport;
        } else {
            return ReadStatus::NoneWaiting;
        }
        std::copy_n(report->begin(), std::min(report->size(), buffer.size()), buffer.begin());
        return ReadStatus::Report;
    }

private:
    std::shared_ptr<FakeDeviceState> state_;
};
}  // namespace

FakeDeviceState& FakeHidPlatform::addDevice(const std::string& path, std::uint16_t vendor, std::uint16_t product) {
    auto state = std::make_shared<FakeDeviceState>();
    state->path = path;
    state->attributes = state->listedAs = {vendor, product};
    devices_[path] = state;
    order_.push_back(path);
    return *state;
}

FakeDeviceState& FakeHidPlatform::addWiiRemote(const std::string& path) { return addDevice(path, 0x057E, 0x0306); }

FakeDeviceState& FakeHidPlatform::device(const std::string& path) {
    auto it = devices_.find(path);
    if (it == devices_.end()) throw std::out_of_range("no fake device " + path);
    return *it->second;
}

void FakeHidPlatform::removeDevice(const std::string& path) {
    order_.erase(std::remove(order_.begin(), order_.end(), path), order_.end());
}

std::vector<HidInterface> FakeHidPlatform::enumerate() {
    ++enumerations;
    std::vector<HidInterface> listed;
    for (const auto& path : order_) listed.push_back({path, devices_[path]->listedAs});
    return listed;
}

std::unique_ptr<HidDevice> FakeHidPlatform::open(const std::string& path) {
    auto it = devices_.find(path);
    if (it == devices_.end() || !it->second->openable) return nullptr;
    if (std::find(order_.begin(), order_.end(), path) == order_.end()) return nullptr;
    return std::make_unique<FakeDevice>(it->second);
}

void FakeHidPlatform::pause(std::chrono::milliseconds duration) { pauses.push_back(duration); }

std::vector<std::uint8_t> accReport(std::uint8_t x, std::uint8_t y, std::uint8_t z, std::size_t length,
                                    std::uint8_t reportId) {
    std::vector<std::uint8_t> report(length, 0);
    report[0] = reportId;
    if (length > 5) {
        report[3] = x;
        report[4] = y;
        report[5] = z;
    }
    return report;
}

std::vector<std::uint8_t> modeRequest(std::uint8_t flags, std::size_t length) {
    std::vector<std::uint8_t> report(length, 0);
    report[0] = 0x12;
    report[1] = flags;
    report[2] = 0x31;
    return report;
}

}  // namespace kinemo::test
