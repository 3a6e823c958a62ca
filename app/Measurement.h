// The measurement handlers of the main window: start-up and exit, the report-mode
// buttons, the timer tick that drives the live monitor and the recording run, the
// monitor button and the record modes.
#pragma once

#include "app/Clock.h"
#include "app/MainControls.h"
#include "app/MeasurementState.h"
#include "device/CWiimote.h"

#include <QColor>

#include <functional>
#include <memory>

namespace kinemo {

class CLogging;

// Axis colours of the traces and tags: X blue, Y red, Z green.
inline const QColor kAxisColors[3] = {QColor(0, 0, 255), QColor(255, 0, 0), QColor(0, 255, 0)};
inline const QColor kGridGrey(128, 128, 128);

class Measurement {
public:
    Measurement(MeasurementState& state, MainControls& controls, HidPlatform& platform, Clock& clock);
    ~Measurement();

    // Start-up and exit.
    void Form_Load();
    void Form_Unload();
    void Fend_Click();
    void Command3_Click();
    void cmdMode0x00_Click();
    void cmdMode0x04_Click();

    // Live monitor.
    void tmrContinuousDataCollect_Timer();
    void cmdContinuous_Click();

    // Recording run.
    void Command1_Click();
    void FineMode_Click();
    void NormalMode_Click();
    void Command4_Click();

    CWiimote* gWiimote() const { return gWiimote_.get(); }
    // The log writer of the Mode0x04 button; start-up creates none.
    CLogging* gLogging = nullptr;
    // How "終了" ends the program; tests replace it.
    std::function<void()> endProgram;

private:
    void InitWiimote();
    void ReleaseWiimote();
    void StoreSample();  // R1
    void EndRun();       // R2
    std::string nowText();

    MeasurementState& s_;
    MainControls& c_;
    HidPlatform& platform_;
    Clock& clock_;
    std::unique_ptr<CWiimote> gWiimote_;
};

}  // namespace kinemo
