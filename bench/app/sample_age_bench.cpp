// Age of the shown sample during live monitoring of the simulated remote: for every
// tick, the time from when the remote produced the report whose values the tick draws
// to the frame that first shows them (the plot's next repaint). Runs the real window
// with the real 10 ms timer, offscreen unless QT_QPA_PLATFORM names another platform
// (xcb under Xvfb, wayland under weston); also counts the frames a second.
// Usage: kinemo_bench_sample_age [seconds, default 60]
#include "core/Clock.h"
#include "device/SimulatedHidPlatform.h"
#include "display/PlotSurface.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace kinemo;

// Passes everything through and notes the newest accelerometer report of each read burst.
class WatchedDevice final : public HidDevice {
public:
    WatchedDevice(std::unique_ptr<HidDevice> inner, std::vector<std::uint8_t>& newest)
        : inner_(std::move(inner)), newest_(newest) {}
    std::optional<HidAttributes> attributes() override { return inner_->attributes(); }
    std::optional<ReportLengths> reportLengths() override { return inner_->reportLengths(); }
    bool write(std::span<const std::uint8_t> report) override { return inner_->write(report); }
    ReadStatus read(std::span<std::uint8_t> buffer) override {
        const ReadStatus status = inner_->read(buffer);
        if (status == ReadStatus::Report && buffer.size() >= 6 && buffer[0] == kAccelerometerReportId)
            newest_.assign(buffer.begin(), buffer.begin() + 6);
        return status;
    }

private:
    std::unique_ptr<HidDevice> inner_;
    std::vector<std::uint8_t>& newest_;
};

class WatchedPlatform final : public HidPlatform {
public:
    explicit WatchedPlatform(Clock& clock) : inner_(clock) {}
    std::vector<HidInterface> enumerate() override { return inner_.enumerate(); }
    HidOpenResult open(const std::string& path) override {
        HidOpenResult opened = inner_.open(path);
        if (opened.device) opened.device = std::make_unique<WatchedDevice>(std::move(opened.device), newest);
        return opened;
    }
    void pause(std::chrono::milliseconds duration) override { inner_.pause(duration); }
    std::vector<std::uint8_t> newest;

private:
    SimulatedHidPlatform inner_;
};

// Notes the time of every repaint of the watched widget.
class FrameWatch final : public QObject {
public:
    explicit FrameWatch(std::function<void()> onFrame) : onFrame_(std::move(onFrame)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) onFrame_();
        return false;
    }

private:
    std::function<void()> onFrame_;
};

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Connected as the program connects, so that the frames reach the display its way.
    const std::unique_ptr<QApplication> app = connectToDisplay(argc, argv);
    if (!app) return 1;
    SystemClock clock;
    const std::uint32_t poweredOn = clock.monotonicMs();
    WatchedPlatform hid(clock);
    MainWindow window({hid, clock});
    window.start();

    std::vector<double> ages;
    std::vector<std::uint64_t> drawnNotShown;  // the report ticks of samples drawn since the last frame
    std::uint64_t lastTick = 0;
    int frames = 0;
    FrameWatch watch([&] {
        const double now = elapsedMs(poweredOn, clock.monotonicMs());
        for (const std::uint64_t tick : drawnNotShown) ages.push_back(now - tick * 10.0);
        drawnNotShown.clear();
        ++frames;
    });
    window.controls().plot->canvas()->installEventFilter(&watch);
    // Connected after the window's own handler, so it runs at the end of each tick.
    QObject::connect(window.controls().sampleTimer, &QTimer::timeout, app.get(), [&] {
        const std::uint32_t now = clock.monotonicMs();
        if (hid.newest.size() < 6) return;
        const AccTriple shown{hid.newest[3], hid.newest[4], hid.newest[5]};
        // The report's tick: the latest one at or before now that produced these values.
        std::uint64_t tick = elapsedMs(poweredOn, now) / SimulatedHidPlatform::kReportPeriodMs;
        const std::uint64_t oldest = tick > 200 ? tick - 200 : 1;
        while (tick > oldest && (tick < lastTick || simulatedAcceleration(tick) != shown)) --tick;
        if (simulatedAcceleration(tick) != shown) return;
        if (tick != lastTick) drawnNotShown.push_back(tick);
        lastTick = tick;
    });
    QTimer::singleShot(seconds * 1000, app.get(), &QApplication::quit);
    QApplication::exec();

    std::sort(ages.begin(), ages.end());
    if (ages.empty()) return 1;
    std::printf(
        "age of a sample at the frame that first shows it, over %d s, %zu samples: median %.1f ms, p99 %.1f ms, "
        "max %.1f ms (goal p99 <= 25 ms); %.1f frames a second\n",
        seconds, ages.size(), ages[ages.size() / 2], ages[ages.size() * 99 / 100], ages.back(),
        static_cast<double>(frames) / seconds);
    return 0;
}
