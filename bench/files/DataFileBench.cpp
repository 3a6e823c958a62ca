// The two file commands run on the user-interface thread while the monitor's timer
// waits, so each step should stay well under a tick.
#include "files/DataFormat.h"
#include "files/FileIo.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace kinemo {
namespace {

SampleRun recordedRun() {
    SampleRun run;
    run.measuredAt = "2026/12/06 9:05:07";
    run.samplePeriod = 1.0523417f;
    for (std::size_t i = 0; i < kDataFileSavedSamples; ++i) {
        run.samples[i] = {static_cast<std::uint8_t>(100 + i % 60), static_cast<std::uint8_t>(131 - i % 40),
                          static_cast<std::uint8_t>(i % 256)};
    }
    return run;
}

std::string savedFile() { return writeDataFile(recordedRun()); }

void BM_WriteRunToBytes(benchmark::State& state) {
    const SampleRun run = recordedRun();
    for (auto _ : state) benchmark::DoNotOptimize(writeDataFile(run));
}
BENCHMARK(BM_WriteRunToBytes)->Unit(benchmark::kMicrosecond);

void BM_ParseFullFile(benchmark::State& state) {
    const std::string bytes = savedFile();
    for (auto _ : state) benchmark::DoNotOptimize(parseDataFile(bytes));
}
BENCHMARK(BM_ParseFullFile)->Unit(benchmark::kMicrosecond);

// What a spreadsheet writes back: LF, quoted numbers, padded rows.
void BM_ParseSpreadsheetFile(benchmark::State& state) {
    std::string bytes = "\xEF\xBB\xBF\"Kinemo\",,\n\"2026/12/06 9:05:07\",,\n1.0523417,,\n";
    const SampleRun run = recordedRun();
    for (std::size_t i = 0; i < kDataFileSavedSamples; ++i) {
        const AccTriple& e = run.samples[i];
        bytes +=
            "\"" + std::to_string(e[0]) + "\", \"" + std::to_string(e[1]) + "\", \"" + std::to_string(e[2]) + "\",,\n";
    }
    for (auto _ : state) benchmark::DoNotOptimize(parseDataFile(bytes));
}
BENCHMARK(BM_ParseSpreadsheetFile)->Unit(benchmark::kMicrosecond);

void BM_SaveRunAtomically(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("run.KMO").toStdString();
    const SampleRun run = recordedRun();
    for (auto _ : state) {
        const auto failure = saveFileAtomically(path, writeDataFile(run));
        if (failure) state.SkipWithError(failure->c_str());
    }
}
BENCHMARK(BM_SaveRunAtomically)->Unit(benchmark::kMicrosecond);

void BM_LoadRun(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("run.KMO").toStdString();
    if (saveFileAtomically(path, savedFile())) state.SkipWithError("cannot save");
    for (auto _ : state) {
        auto content = readWholeFile(path);
        if (!std::holds_alternative<std::string>(content)) state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(parseDataFile(std::get<std::string>(content)));
    }
}
BENCHMARK(BM_LoadRun)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kinemo
