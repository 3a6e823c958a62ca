// CPU per tick: a remote with a report always waiting, all three axes drawn, the
// labels updated. Reports the median and the 99th percentile of single ticks.
#include "tests/support/FakeClock.h"
#include "tests/support/FakeHidPlatform.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

void BM_Tick(benchmark::State& state) {
    kinemo::test::FakeHidPlatform hid;
    auto& remote = hid.addWiiRemote();
    remote.alwaysReport = true;
    kinemo::test::FakeClock clock;
    kinemo::MainWindow window({hid, clock});
    window.start();
    window.controls().sampleTimer->stop();
    std::vector<double> micros;
    micros.reserve(1 << 20);
    std::uint8_t phase = 0;
    for (auto _ : state) {
        // A moving signal, so labels and segments change every tick.
        remote.repeatedReport = kinemo::test::accReport(phase, 255 - phase, static_cast<std::uint8_t>(phase * 3));
        ++phase;
        const auto t0 = std::chrono::steady_clock::now();
        window.measurement().onSampleTick();
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
        // What the event loop would do between ticks: paint the window.
        QApplication::processEvents();
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}
BENCHMARK(BM_Tick)->Iterations(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
