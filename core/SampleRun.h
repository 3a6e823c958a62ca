// A stored run: what a recording fills, a data file holds and the viewer shows.
#pragma once

#include "core/Sample.h"

#include <string>

namespace kinemo {

// The period before any run has measured one: 21/20 of a pixel (1/100 s) per sample.
inline constexpr float kStartSamplePeriod = 21.0f / 20.0f;

struct SampleRun {
    SampleStore samples = zeroStore();
    float samplePeriod = kStartSamplePeriod;  // 1/100 s between samples = pixels per sample
    std::string measuredAt;                   // the date text of its start

    static constexpr SampleStore zeroStore() {
        SampleStore store{};
        store.fill(kZeroSample);
        return store;
    }
};

}  // namespace kinemo
