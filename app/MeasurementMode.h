// What the main window is doing, as one value. Nothing stores it: it is worked out
// each time from the things that decide it, so it can never disagree with them.
#pragma once

#include "app/MainControls.h"
#include "app/MeasurementState.h"

namespace kinemo {

enum class MeasurementMode {
    Stopped,     // no tick: the monitor button was pressed, or `kinemo FILE` before its file
    Monitoring,  // the tick draws the live trace
    Recording,   // a run stores one sample a tick (drawn, or not in fine mode)
    Viewing,     // a stored run is shown at the scroll bar's position; no tick
};

// A run in progress decides first (it owns the tick), then the viewer's scroll bar,
// then the tick. Whether the next or the current run is fine is the state's
// `isFineMode`, which every mode keeps.
MeasurementMode measurementMode(const MeasurementState& state, const MainControls& controls);

}  // namespace kinemo
