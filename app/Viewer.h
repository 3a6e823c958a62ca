// Drawing a stored run on the plot and the data viewer that slides a five-second
// window along it with the scroll bar (see ViewSpan for the window's rules).
// The handlers run on the UI thread; onViewerScrolled also runs nested inside
// openViewer whenever its changes of the bar's maximum or value move the position.
#pragma once

#include "app/MainControls.h"
#include "app/MeasurementState.h"
#include "app/ViewSpan.h"
#include "log/EventLog.h"

namespace kinemo {

// Puts the second lines, the half-second lines and the numbers of the time axis.
void placeTimeAxis(MainControls& controls, const TimeAxis& axis);

class Viewer {
public:
    Viewer(MeasurementState& state, MainControls& controls, EventLog& log);

    // Segments first..last of a run, sample `first` at x = 0 and the run's period in
    // pixels per sample; indices beyond 2001 are never read.
    void drawSpan(const SampleRun& run, int first, int last);
    // The first screen of the recorded run again, as it was drawn when the viewer opened.
    void redrawRecordedRun();
    // A new background erases the traces; they come back with the next draw.
    void useBlackBackground();
    void useWhiteBackground();

    // Opens the viewer at the start of a stored run.
    void openViewer(RunSlot which);
    void onViewerScrolled();

private:
    MeasurementState& state_;
    MainControls& controls_;
    EventLog& log_;
};

}  // namespace kinemo
