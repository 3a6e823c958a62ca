#include "device/SimulatedHidPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <deque>
#include <numbers>
#include <thread>
#include <vector>

namespace kinemo {

namespace {

using Report = std::vector<std::uint8_t>;
using Queue = std::deque<Report>;

// A clock that jumps far ahead (a suspended machine, a debugger) fills every queue
// long before the jump is caught up with; older ticks need not be played.
constexpr std::uint64_t kMaxTicksPerCatchUp = 1000;

// Now and then, at fixed ticks, the reports a driver's own requests bring about.
constexpr std::uint64_t kStatusEvery = 443;
constexpr std::uint64_t kStatusAt = 200;
constexpr std::uint64_t kAcknowledgeEvery = 617;
constexpr std::uint64_t kAcknowledgeAt = 300;

std::uint64_t splitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint8_t rawFromG(double g, int noise) {
    const long raw = std::lround(kZeroLevel - kCountsPerG * g) + noise;
    return static_cast<std::uint8_t>(std::clamp(raw, 0L, 255L));
}

}  // namespace

AccTriple simulatedAcceleration(std::uint64_t tick) {
    constexpr double pi = std::numbers::pi;
    const double t = static_cast<double>(tick) * (SimulatedHidPlatform::kReportPeriodMs / 1000.0);
    // Tilt from lying flat (Z) over on to its side (Y) and on until upside down (-Z),
    // then back; the cosine lingers at both ends, so gravity rests on one axis.
    const double tilt = pi * (1.0 - std::cos(2.0 * pi * t / 40.0)) / 2.0;
    const double roll = 0.2 * std::sin(2.0 * pi * t / 17.0);
    double gx = roll;
    double gy = std::sin(tilt);
    double gz = std::cos(tilt);
    const double norm = std::sqrt(gx * gx + gy * gy + gz * gz);
    gx /= norm;
    gy /= norm;
    gz /= norm;
    // A shake of 3.5 Hz swells and fades every 12 s.
    const double swell = std::max(0.0, std::sin(2.0 * pi * t / 12.0));
    const double envelope = swell * swell * swell * swell;
    const double shake = std::sin(2.0 * pi * 3.5 * t);
    gx += 0.6 * envelope * shake;
    gy += 0.3 * envelope * std::sin(2.0 * pi * 3.5 * t + 1.0);
    auto noise = [tick](int axis) { return static_cast<int>(splitMix(tick * 3 + axis) % 3) - 1; };
    return {rawFromG(gx, noise(0)), rawFromG(gy, noise(1)), rawFromG(gz, noise(2))};
}

// The remote's own state, shared by every handle open on it.
struct SimulatedHidPlatform::Remote {
    explicit Remote(Clock& c) : clock(c), lastMs(c.monotonicMs()) {}

    // Plays every report tick that has fallen due since the last call.
    void advance() {
        const std::uint32_t now = clock.monotonicMs();
        elapsedTotalMs += kinemo::elapsedMs(lastMs, now);
        lastMs = now;
        const std::uint64_t due = elapsedTotalMs / kReportPeriodMs;
        if (due > nextTick + kMaxTicksPerCatchUp) nextTick = due - kMaxTicksPerCatchUp;
        for (; nextTick <= due; ++nextTick) playTick(nextTick);
    }

    void playTick(std::uint64_t tick) {
        if (tick % kStatusEvery == kStatusAt) {
            // Status report: buttons, flags (LED 1 lit), two reserved bytes, battery.
            deliver({kStatusReportId, 0x00, 0x00, 0x10, 0x00, 0x00, 0xC8});
            halted = true;
            return;
        }
        if (tick % kAcknowledgeEvery == kAcknowledgeAt)
            deliver({kAcknowledgeReportId, 0x00, 0x00, kReportModeRequest, 0x00});
        if (halted || mode != kAccelerometerReportId) return;
        const AccTriple acc = simulatedAcceleration(tick);
        if (!continuous && lastSent == acc) return;
        lastSent = acc;
        Report report(kAccelerometerFirstByte + acc.size(), 0x00);
        report[0] = kAccelerometerReportId;
        std::ranges::copy(acc, report.begin() + kAccelerometerFirstByte);
        deliver(report);
    }

    void deliver(const Report& report) {
        std::erase_if(readers, [](const std::weak_ptr<Queue>& reader) { return reader.expired(); });
        for (const auto& reader : readers) {
            const auto queue = reader.lock();
            if (queue->size() < kQueueLength) queue->push_back(report);  // full: dropped, as hidraw does
        }
    }

    void receive(std::span<const std::uint8_t> report) {
        if (report.size() < 3 || report[0] != kReportModeRequest) return;
        continuous = (report[1] & kContinuousFlag) != 0;
        mode = report[2];
        halted = false;
    }

    Clock& clock;
    std::uint32_t lastMs;
    std::uint64_t elapsedTotalMs = 0;
    std::uint64_t nextTick = 1;  // the first report is due 10 ms after power-on
    std::uint8_t mode = 0x30;    // buttons only, sent on change: nothing here
    bool continuous = false;
    bool halted = false;
    std::optional<AccTriple> lastSent;
    std::vector<std::weak_ptr<Queue>> readers;
};

namespace {

class SimulatedDevice final : public HidDevice {
public:
    explicit SimulatedDevice(std::shared_ptr<SimulatedHidPlatform::Remote> remote)
        : remote_(std::move(remote)), queue_(std::make_shared<Queue>()) {
        remote_->advance();  // reports due before the open are not in this handle's queue
        remote_->readers.push_back(queue_);
    }

    std::optional<HidAttributes> attributes() override { return HidAttributes{kNintendoVendorId, kWiiRemoteProductId}; }

    std::optional<ReportLengths> reportLengths() override {
        return ReportLengths{SimulatedHidPlatform::kReportLength, SimulatedHidPlatform::kReportLength};
    }

    bool write(std::span<const std::uint8_t> report) override {
        remote_->advance();
        remote_->receive(report);
        return true;
    }

    ReadStatus read(std::span<std::uint8_t> buffer) override {
        remote_->advance();
        if (queue_->empty()) return ReadStatus::NoneWaiting;
        const Report& report = queue_->front();
        std::copy_n(report.begin(), std::min(report.size(), buffer.size()), buffer.begin());
        queue_->pop_front();
        return ReadStatus::Report;
    }

private:
    std::shared_ptr<SimulatedHidPlatform::Remote> remote_;
    std::shared_ptr<Queue> queue_;
};

}  // namespace

SimulatedHidPlatform::SimulatedHidPlatform(Clock& clock, bool sleepOnPause)
    : remote_(std::make_shared<Remote>(clock)), sleepOnPause_(sleepOnPause) {}

SimulatedHidPlatform::~SimulatedHidPlatform() = default;

std::vector<HidInterface> SimulatedHidPlatform::enumerate() {
    return {{kPath, {kNintendoVendorId, kWiiRemoteProductId}}};
}

HidOpenResult SimulatedHidPlatform::open(const std::string& path) {
    if (path != kPath) return {nullptr, ENOENT};
    return {std::make_unique<SimulatedDevice>(remote_)};
}

void SimulatedHidPlatform::pause(std::chrono::milliseconds duration) {
    if (sleepOnPause_) std::this_thread::sleep_for(duration);
}

}  // namespace kinemo
