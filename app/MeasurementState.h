// The main window's measurement state: the one definition that start-up, the live
// monitor, the recording run, the viewer and the data files share.
#pragma once

#include "app/RecordingRun.h"
#include "app/Sweep.h"
#include "core/Sample.h"

#include <cstdint>
#include <string>

namespace kinemo {

inline constexpr float kStartSamplePeriod = 21.0f / 20.0f;

struct MeasurementState {
    std::uint8_t reportCmd = 0;
    std::uint8_t reportFlags = 0;
    std::uint8_t reportMode = 0;

    AccTriple acc{};      // this tick's triple
    AccTriple accPrev{};  // the previous tick's, where every live segment starts

    SampleStore samples{};        // the recorded run
    SampleStore loadedSamples{};  // the run loaded from a file

    Sweep sweep;
    RecordingRun run;
    bool isFineMode = false;   // no waveform during a run
    std::string measuredAt;    // start of the last run, as text
    float samplePeriod = 0;    // 1/100 s between samples = pixels per sample
    float loadedSamplePeriod = 0;
    bool showRecorded = true;  // the viewer shows samples (true) or loadedSamples
    std::string fileSignature;
    std::int16_t viewStart = 0;
    std::int16_t gridPhase = 0;
    std::string loadedMeasuredAt;
};

}  // namespace kinemo
