// What the link costs the user-interface thread.
#include "device/LinuxHidPlatform.h"
#include "device/ReportDescriptor.h"
#include "device/SimulatedHidPlatform.h"
#include "device/WiiRemote.h"
#include "tests/support/FakeHidPlatform.h"

#include <benchmark/benchmark.h>

namespace kinemo {
namespace {

// One search of every hidraw node of this machine, as each tick makes while no remote
// is connected (the 200 ms pause after it is not counted).
void BM_SearchEveryHidrawNode(benchmark::State& state) {
    LinuxHidPlatform platform;
    WiiRemote wiimote(platform);
    for (auto _ : state) benchmark::DoNotOptimize(wiimote.connect());
    state.counters["nodes"] = static_cast<double>(platform.enumerate().size());
}
BENCHMARK(BM_SearchEveryHidrawNode)->Unit(benchmark::kMicrosecond);

// The descriptor work of opening a remote.
void BM_ReportLengthsFromDescriptor(benchmark::State& state) {
    const auto descriptor = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/wiimote-report-descriptor.txt");
    for (auto _ : state) benchmark::DoNotOptimize(reportLengths(descriptor));
}
BENCHMARK(BM_ReportLengthsFromDescriptor);

class StepClock final : public Clock {
public:
    std::uint32_t monotonicMs() override { return ms; }
    LocalDateTime now() override { return {}; }
    std::uint32_t ms = 0;
};

// One tick's exchange with the simulated remote: write the request, take the new report.
void BM_ReadAccelerationSimulated(benchmark::State& state) {
    StepClock clock;
    SimulatedHidPlatform platform(clock, false);
    WiiRemote wiimote(platform);
    wiimote.requestAccelerometerReports(ReportDelivery::Continuous);
    AccTriple acc{};
    for (auto _ : state) {
        clock.ms += 10;
        wiimote.readAcceleration(acc);
        benchmark::DoNotOptimize(acc);
    }
}
BENCHMARK(BM_ReadAccelerationSimulated);

}  // namespace
}  // namespace kinemo
