// Opens the main window in a state that looks the same on every run, so that a
// script can take its picture: the simulated remote on a clock that only moves
// when told, the timer stopped.
// Usage: kinemo_show_main_window monitor|viewer
//   monitor  three seconds of live trace
//   viewer   a recorded run at 100 HZ in the viewer, scrolled five seconds in
#include "core/Clock.h"
#include "device/SimulatedHidPlatform.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QScrollBar>
#include <QTimer>

#include <cstring>

namespace {

class SteppedClock final : public kinemo::Clock {
public:
    std::uint32_t monotonicMs() override { return ms; }
    kinemo::LocalDateTime now() override { return {2026, 12, 6, 9, 5, 7}; }
    std::uint32_t ms = 1000;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool viewer = argc > 1 && std::strcmp(argv[1], "viewer") == 0;
    SteppedClock clock;
    kinemo::SimulatedHidPlatform hid(clock, false);
    kinemo::MainWindow window({hid, clock});
    window.measurement().load();
    window.controls().sampleTimer->stop();
    auto tick = [&] {
        clock.ms += 10;
        window.measurement().onSampleTick();
    };
    for (int i = 0; i < 300; ++i) tick();
    if (viewer) {
        window.measurement().startCalibrationRun();
        for (int i = 0; i < 2000; ++i) tick();
        window.viewer().showRecordedRun();
        window.controls().viewerScrollBar->setValue(window.controls().viewerScrollBar->maximum() - 500);
    }
    window.controls().sampleTimer->stop();
    return QApplication::exec();
}
