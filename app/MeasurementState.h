// The main window's measurement state: the one definition that start-up, the live
// monitor, the recording run, the viewer and the data files share.
//
// app/ owns this state and the start-up, tick, monitor and recording handlers. It
// may use device/, log/ and display/'s plot surface; it never reaches ui/.
#pragma once

#include "device/CWiimote.h"

#include <array>
#include <cstdint>
#include <string>

namespace kinemo {

inline constexpr int kStoreSize = 2002;      // indices 0..2001
inline constexpr int kRunLength = 2000;      // samples of one recording run
inline constexpr std::uint8_t kZeroLevel = 131;  // raw value of 0 G; 27 counts make 1 G
inline constexpr float kStartSamplePeriod = 21.0f / 20.0f;

using SampleStore = std::array<AccTriple, kStoreSize>;

struct MeasurementState {
    std::uint8_t reportCmd = 0;
    std::uint8_t reportFlags = 0;
    std::uint8_t reportMode = 0;

    AccTriple acc{};      // this tick's triple
    AccTriple accPrev{};  // the previous tick's, where every live segment starts

    SampleStore samples{};        // the recorded run
    SampleStore loadedSamples{};  // the run loaded from a file

    std::int16_t liveX = 0;  // steps of the live trace since the last wrap
    bool isRecording = false;
    std::int16_t sampleIndex = 0;  // where the running recording stores next
    bool isFineMode = false;       // no waveform during a run
    std::string measuredAt;        // start of the last run, as text
    std::uint32_t startMs = 0;     // millisecond clock at the start of the last run
    float samplePeriod = 0;        // 1/100 s between samples = pixels per sample
    float loadedSamplePeriod = 0;
    bool showRecorded = true;  // the viewer shows samples (true) or loadedSamples
    std::string fileSignature;
    std::int16_t viewStart = 0;
    std::int16_t gridPhase = 0;
    std::string loadedMeasuredAt;
};

}  // namespace kinemo
