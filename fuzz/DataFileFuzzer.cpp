// Feeds arbitrary bytes to the data-file parser. Besides the sanitizers' checks,
// every run the parser accepts must survive a save and a load unchanged.
#include "core/NumberText.h"
#include "files/DataFormat.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkRoundTrip(const kinemo::LoadedRun& run) {
    // The writer puts the date between quotes as it is; the only dates it cannot
    // carry are those holding a quote, and the program never writes a loaded run.
    if (run.measuredAt.find('"') != std::string::npos) return;

    std::array<kinemo::AccTriple, kinemo::kDataFileSavedSamples> entries;
    entries.fill({131, 131, 131});
    std::copy_n(run.samples.begin(), std::min(run.samples.size(), entries.size()), entries.begin());
    const std::string bytes = kinemo::writeDataFile(kinemo::kDataFileSignature, run.measuredAt, run.samplePeriod, entries);

    const auto again = kinemo::parseDataFile(bytes, kinemo::kDataFileSignature);
    const auto* reloaded = std::get_if<kinemo::LoadedRun>(&again);
    if (!reloaded) {
        // Seven digits may round a period within 1e-8 of the lower bound onto it.
        check(run.samplePeriod < 0.04578f);
        return;
    }
    check(reloaded->measuredAt == run.measuredAt);
    check(kinemo::floatText(reloaded->samplePeriod) == kinemo::floatText(run.samplePeriod));
    check(std::equal(entries.begin(), entries.end(), reloaded->samples.begin(), reloaded->samples.end()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = kinemo::parseDataFile(bytes, kinemo::kDataFileSignature);
    if (const auto* run = std::get_if<kinemo::LoadedRun>(&result)) {
        check(run->samples.size() <= kinemo::kDataFileMaxSamples);
        checkRoundTrip(*run);
    } else if (const auto* error = std::get_if<kinemo::FormatError>(&result)) {
        check(error->line >= 1 && !error->reason.empty());
    }
    return 0;
}
