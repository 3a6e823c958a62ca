// One recording run: 2000 samples, one per tick, and the sample period they give
// when the run's duration on the millisecond clock is shared out among them.
#pragma once

#include "core/Clock.h"
#include "core/Sample.h"

#include <cstdint>

namespace kinemo {

class RunRecorder {
public:
    // Entries 0..kRunLength of the store go back to the zero level (entry 2001 is
    // left as it is); the run is timed from `startMs`.
    void start(SampleStore& store, std::uint32_t startMs);
    // Puts the sample at the next index.
    void store(SampleStore& store, const AccTriple& sample);
    bool isComplete() const { return sampleIndex_ == kRunLength; }

    struct Calibration {
        double seconds;      // the run's duration, as the hidden elapsed label shows it
        float samplePeriod;  // hundredths of a second per sample = pixels per sample
    };
    // Ends the run and measures it, right across the wrap of the 32-bit clock.
    Calibration finish(Clock& clock);
    // Ends the run without measuring it.
    void abandon();

    bool isRecording() const { return isRecording_; }
    // Whether the store holds a run that was started and has not finished: one in
    // progress, or one given up half-way. Such a store is no run to keep.
    bool storeIsUnfinished() const { return storeIsUnfinished_; }
    std::int16_t sampleIndex() const { return sampleIndex_; }

private:
    bool isRecording_ = false;
    bool storeIsUnfinished_ = false;
    // Kept on purpose: a 16-bit counter, as the design has it; a run of 2000 fits.
    std::int16_t sampleIndex_ = 0;  // where the run stores next
    std::uint32_t startMs_ = 0;
};

}  // namespace kinemo
