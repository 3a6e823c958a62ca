// The main window's measurement state: the one definition that start-up, the live
// monitor, the recording run, the viewer and the data files share.
#pragma once

#include "app/RecordingRun.h"
#include "app/Sweep.h"
#include "core/Run.h"
#include "core/Sample.h"

namespace kinemo {

enum class StoredRun { Recorded, Loaded };

struct MeasurementState {
    AccTriple acc{};      // this tick's triple
    AccTriple accPrev{};  // the previous tick's, where every live segment starts

    // The last recording run: its period also spaces the live trace. Its date is
    // the start of the last run.
    Run recorded;
    Run loaded;  // the run loaded from a file
    StoredRun viewed = StoredRun::Recorded;

    Run& run(StoredRun which) { return which == StoredRun::Recorded ? recorded : loaded; }
    Run& viewedRun() { return run(viewed); }

    Sweep sweep;
    RecordingRun recording;
    bool isFineMode = false;  // no waveform during a run
};

}  // namespace kinemo
