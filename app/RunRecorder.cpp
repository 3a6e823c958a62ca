#include "app/RunRecorder.h"

namespace kinemo {

namespace {
// 2000 samples at p hundredths of a second last 20 p seconds.
constexpr float kRunSecondsPerPeriod = kRunLength / 100.0f;
}  // namespace

void RunRecorder::start(SampleStore& store, std::uint32_t startMs) {
    isRecording_ = true;
    storeIsUnfinished_ = true;
    sampleIndex_ = 0;
    for (int i = 0; i <= kRunLength; ++i) store[i] = kZeroSample;
    startMs_ = startMs;
}

void RunRecorder::store(SampleStore& store, const AccTriple& sample) {
    store[sampleIndex_] = sample;
    sampleIndex_ = static_cast<std::int16_t>(sampleIndex_ + 1);
}

RunRecorder::Calibration RunRecorder::finish(Clock& clock) {
    abandon();
    storeIsUnfinished_ = false;
    // Kept on purpose: the elapsed label and the rate come from two readings of the
    // clock, so the label may show a millisecond more than the rate was worked out from.
    const double shownSeconds = elapsedMs(startMs_, clock.monotonicMs()) / 1000.0;
    const float seconds = static_cast<float>(elapsedMs(startMs_, clock.monotonicMs()) / 1000.0);
    return {shownSeconds, seconds / kRunSecondsPerPeriod};
}

void RunRecorder::abandon() {
    sampleIndex_ = 0;
    isRecording_ = false;
}

}  // namespace kinemo
