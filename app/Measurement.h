// The measurement handlers of the main window: start-up and exit, the report-mode
// buttons, the timer tick that drives the live monitor and the recording run, the
// monitor button and the record modes.
#pragma once

#include "app/FileDialogs.h"
#include "app/MainControls.h"
#include "app/MeasurementState.h"
#include "core/Clock.h"
#include "device/WiiRemote.h"
#include "log/EventLog.h"

#include <QMetaObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kinemo {

class Measurement {
public:
    Measurement(MeasurementState& state, MainControls& controls, HidPlatform& platform, Clock& clock,
                FileDialogs& dialogs, EventLog& log);
    ~Measurement();

    // Start-up and exit.
    void startUp();
    void shutDown();
    void quit();
    void reportOnChange();
    void reportContinuously();

    // Live monitor.
    void onSampleTick();
    void toggleMonitor();

    // Recording run.
    void startRecordingRun();
    void chooseFineMode();
    void chooseNormalMode();
    void stampTime();

    WiiRemote* remote() const { return remote_.get(); }
    // How "終了" ends the program; tests replace it.
    std::function<void()> endProgram;

private:
    void connectRemote();
    void releaseRemote();
    void requestReports(ReportDelivery delivery);
    void storeSample();
    void finishRunAndCalibrate();
    std::string nowText();
    void showNewestTexts();
    void logRemoteChange(bool wasConnected);
    void tellObstacle(const OpenObstacle& obstacle);

    MeasurementState& state_;
    MainControls& controls_;
    HidPlatform& platform_;
    Clock& clock_;
    FileDialogs& dialogs_;
    EventLog& log_;
    std::unique_ptr<WiiRemote> remote_;
    // A search that keeps failing is logged once, not five times a second.
    bool searchFailing_ = false;
    // A remote that cannot be opened is told about once, not at every search; again
    // only when the obstacle changes or after a remote was opened.
    std::optional<OpenObstacle> toldObstacle_;
    // The texts of the newest tick, set at the next frame: a label is only seen when
    // painted, and setting its text at every tick would repaint it at every tick.
    std::array<QString, kAxisCount> readoutTexts_;
    QString counterText_;  // empty: the counter stays as it is
    QMetaObject::Connection frameConnection_;
};

}  // namespace kinemo
