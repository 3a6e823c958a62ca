// The main window's measurement state: the one definition that start-up, the live
// monitor, the recording run, the viewer and the data files share.
#pragma once

#include "app/RunRecorder.h"
#include "app/Sweep.h"
#include "core/Sample.h"
#include "core/SampleRun.h"

namespace kinemo {

enum class RunSlot { Recorded, Loaded };

struct MeasurementState {
    AccTriple acc{};      // this tick's triple
    AccTriple accPrev{};  // the previous tick's, where every live segment starts

    // The last recording run: its period also spaces the live trace. Its date is
    // the start of the last run.
    SampleRun recorded;
    SampleRun loaded;  // the run loaded from a file
    RunSlot viewed = RunSlot::Recorded;

    SampleRun& run(RunSlot which) { return which == RunSlot::Recorded ? recorded : loaded; }
    SampleRun& viewedRun() { return run(viewed); }

    Sweep sweep;
    RunRecorder recorder;
    bool isFineMode = false;  // no waveform during a run
};

}  // namespace kinemo
