#include "app/MeasurementMode.h"

#include <QScrollBar>
#include <QTimer>

namespace kinemo {

MeasurementMode measurementMode(const MeasurementState& state, const MainControls& controls) {
    if (state.recorder.isRecording()) return MeasurementMode::Recording;
    if (!controls.viewerScrollBar->isHidden()) return MeasurementMode::Viewing;
    return controls.sampleTimer->isActive() ? MeasurementMode::Monitoring : MeasurementMode::Stopped;
}

}  // namespace kinemo
