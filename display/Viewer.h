// Drawing a stored run on Picture1 and the data viewer that slides a five-second
// window along it with HScroll1.
//
// The scroll bar's scale runs backwards: with the thumb at the right end
// (Value = Max) the window starts at sample 0; the left end shows the latest window.
// Max is the number of samples in fifteen seconds, so every window ends by index
// 2000. The handlers run on the UI thread; HScroll1_Change also runs nested inside
// OpenViewer whenever its changes of Max or Value move the position.
#pragma once

#include "app/MainControls.h"
#include "app/MeasurementState.h"

#include <QPointF>
#include <qnamespace.h>

#include <string>

namespace kinemo {

// HScroll1's maximum for a run's sample period: the samples in fifteen seconds,
// limited to the scroll bar's 16-bit range 1..32767. A period that is zero,
// negative or not a number leaves a single position.
int scrollMaximum(float samplePeriod);

class Viewer {
public:
    Viewer(MeasurementState& state, MainControls& controls);

    // Trace drawing.
    // Segments first..last of a store, sample `first` at x = 0 and `period` pixels
    // per sample; indices beyond 2001 are never read.
    void DrawTraceWindow(const SampleStore& store, float period, int first, int last);
    void DrawRecordedData();
    void DrawLoadedData();
    void BackBlack_Click();
    void BackWhite_Click();

    // The viewer.
    void DataRec_Click();
    void ReadDate_Click();
    // Opens the viewer at the start of the recorded run (true) or the loaded run.
    void OpenViewer(bool recorded);
    void HScroll1_Change();
    void PlaceTimeAxis(int phase, int firstSecond);
    void Command2_Click();
    void Picture1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position);

private:
    void DrawRunFirstScreen(const SampleStore& store, float period, const std::string& measuredAt);

    MeasurementState& s_;
    MainControls& c_;
};

}  // namespace kinemo
