// Redraw costs of the data viewer on the real main window (offscreen platform):
// the largest window there is, one scroll step, and the paint that shows a redraw.
#include "device/HidPlatform.h"
#include "display/PlotSurface.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace kinemo;

class Bench {
public:
    Bench() : window_({hid_, clock_}) {
        window_.start();
        MeasurementState& s = window_.state();
        // A lively run, so that every segment is a sloped line.
        for (int i = 0; i < kRunLength; ++i)
            s.recorded.samples[i] = {static_cast<std::uint8_t>(60 + (i * 7) % 140),
                                     static_cast<std::uint8_t>(30 + (i * 13) % 200),
                                     static_cast<std::uint8_t>(90 + (i * 3) % 80)};
        s.recorded.samplePeriod = 1.2f;  // longest windows: start 1248 draws 751 segments
        window_.viewer().openViewer(RunSlot::Recorded);
        QApplication::processEvents();
    }
    MainWindow& window() { return window_; }

private:
    NoHidPlatform hid_;
    SystemClock clock_;
    MainWindow window_;
};

Bench* theBench = nullptr;  // lives inside main's QApplication
Bench& bench() { return *theBench; }

// onViewerScrolled at the window start 1248 of a 1.2 run (Value 1 of Max 1249).
void BM_LargestViewerRedraw(benchmark::State& state) {
    MainWindow& w = bench().window();
    w.controls().viewerScrollBar->setValue(1);
    for (auto _ : state) {
        w.viewer().onViewerScrolled();
        benchmark::DoNotOptimize(w.controls().plot->image().constBits());
    }
}
BENCHMARK(BM_LargestViewerRedraw)->Unit(benchmark::kMicrosecond);

// The same redraw followed by the repaint of the surface that shows it.
void BM_LargestViewerRedrawPainted(benchmark::State& state) {
    MainWindow& w = bench().window();
    w.controls().viewerScrollBar->setValue(1);
    for (auto _ : state) {
        w.viewer().onViewerScrolled();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_LargestViewerRedrawPainted)->Unit(benchmark::kMicrosecond);

// One arrow click of the scroll bar, which runs the change handler.
void BM_ScrollStep(benchmark::State& state) {
    MainWindow& w = bench().window();
    QScrollBar* bar = w.controls().viewerScrollBar;
    bar->setValue(bar->maximum() / 2);
    bool forward = true;
    for (auto _ : state) {
        bar->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        forward = !forward;
        benchmark::DoNotOptimize(w.controls().plot->image().constBits());
    }
}
BENCHMARK(BM_ScrollStep)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    auto b = std::make_unique<Bench>();
    theBench = b.get();
    benchmark::RunSpecifiedBenchmarks();
    b.reset();
    benchmark::Shutdown();
    return 0;
}
