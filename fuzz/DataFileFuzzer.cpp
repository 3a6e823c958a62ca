// Feeds arbitrary bytes to the data-file parser. Besides the sanitizers' checks,
// every run the parser accepts must survive a save and a load unchanged.
#include "core/NumberText.h"
#include "files/DataFormat.h"

#include <algorithm>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkRoundTrip(const kinemo::SampleRun& run) {
    // The writer puts the date between quotes as it is; the only dates it cannot
    // carry are those holding a quote, and the program never writes a loaded run.
    if (run.measuredAt.find('"') != std::string::npos) return;

    const std::string bytes = kinemo::writeDataFile(run);
    const auto again = kinemo::parseDataFile(bytes);
    const auto* reloaded = std::get_if<kinemo::SampleRun>(&again);
    if (!reloaded) {
        // Seven digits may round a period within 1e-8 of the lower bound onto it.
        check(run.samplePeriod < 0.04578f);
        return;
    }
    check(reloaded->measuredAt == run.measuredAt);
    check(kinemo::floatText(reloaded->samplePeriod) == kinemo::floatText(run.samplePeriod));
    // A file holds entries 0..2000; entry 2001 comes back as the zero level.
    const auto saved = run.samples.begin() + kinemo::kDataFileSavedSamples;
    check(std::equal(run.samples.begin(), saved, reloaded->samples.begin()));
    check(reloaded->samples.back() == kinemo::kZeroSample);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = kinemo::parseDataFile(bytes);
    if (const auto* run = std::get_if<kinemo::SampleRun>(&result)) {
        checkRoundTrip(*run);
    } else if (const auto* error = std::get_if<kinemo::FormatError>(&result)) {
        check(error->line >= 1 && !error->reason.empty());
    }
    return 0;
}
