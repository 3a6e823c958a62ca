// Drawing a stored run on the plot and the data viewer that slides a five-second
// window along it with the scroll bar (see ViewerWindow for the window's rules).
// The handlers run on the UI thread; onViewerScrolled also runs nested inside
// openViewer whenever its changes of the bar's maximum or value move the position.
#pragma once

#include "app/MainControls.h"
#include "app/MeasurementState.h"
#include "log/EventLog.h"

#include <string>

namespace kinemo {

class Viewer {
public:
    Viewer(MeasurementState& state, MainControls& controls, EventLog& log);

    // Segments first..last of a store, sample `first` at x = 0 and `period` pixels
    // per sample; indices beyond 2001 are never read.
    void drawWindow(const SampleStore& store, float period, int first, int last);
    void drawRecordedRun();
    void drawLoadedRun();
    void redrawRecordedRun();
    // A new background erases the traces; they come back with the next draw.
    void useBlackBackground();
    void useWhiteBackground();

    void showRecordedRun();
    void showLoadedRun();
    // Opens the viewer at the start of the recorded run (true) or the loaded run.
    void openViewer(bool recorded);
    void onViewerScrolled();
    void placeTimeAxis(int phase, int firstSecond);

private:
    void drawRunFirstScreen(const SampleStore& store, float period, const std::string& measuredAt);

    MeasurementState& s_;
    MainControls& c_;
    EventLog& log_;
};

}  // namespace kinemo
