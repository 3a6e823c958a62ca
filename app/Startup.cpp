#include "app/Measurement.h"
#include "app/Version.h"
#include "app/WindowPlacement.h"
#include "display/PlotSurface.h"
#include "log/CLogging.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

namespace kinemo {

Measurement::Measurement(MeasurementState& state, MainControls& controls, HidPlatform& platform, Clock& clock)
    : endProgram([] { QApplication::exit(0); }), s_(state), c_(controls), platform_(platform), clock_(clock) {}

Measurement::~Measurement() = default;

std::string Measurement::nowText() { return dateTimeText(clock_.now()); }

void Measurement::Form_Load() {
    QWidget* window = c_.window;
    window->show();
    centreOnScreen(*window);
    window->setWindowTitle(QString::fromUtf8(std::string(kAppTitle) + "  " + versionText()));
    c_.Line12->setX1(-1);
    c_.Line12->setX2(-1);
    s_.isRecording = false;
    InitWiimote();

    for (int i = 0; i < 6; ++i) {
        c_.Line11[i]->setX1(100 * i);
        c_.Line11[i]->setX2(100 * i);
        c_.Line10[i]->setX1(100 * i - 50);
        c_.Line10[i]->setX2(100 * i - 50);
        c_.Label9[i]->setText(QString::number(i));
        c_.Label9[i]->move(100 * i, c_.Label9[i]->y());
    }
    s_.samples.fill({kZeroLevel, kZeroLevel, kZeroLevel});
    s_.loadedSamples.fill({kZeroLevel, kZeroLevel, kZeroLevel});
    c_.Text2->setText(QString::fromStdString(nowText()));
    s_.samplePeriod = kStartSamplePeriod;
    s_.loadedSamplePeriod = kStartSamplePeriod;

    for (int i = 0; i < 6; ++i) {
        c_.Line10[i]->setBorderColor(kGridGrey);
        c_.Line11[i]->setBorderColor(kGridGrey);
    }
    for (LineShape* line : {c_.Line5, c_.Line6, c_.Line7, c_.Line8, c_.Line9, c_.Line1}) line->setBorderColor(kGridGrey);
    c_.Line2->setBorderColor(Qt::white);
    for (LineShape* line : {c_.Line3, c_.Line4, c_.Line13}) line->setBorderColor(kGridGrey);

    s_.showRecorded = true;
    s_.fileSignature = "Kinemo";
    c_.tmrContinuousDataCollect->start();
}

void Measurement::InitWiimote() {
    s_.reportCmd = 0x12;
    s_.reportFlags = 0x04;
    s_.reportMode = 0x31;
    gWiimote_ = std::make_unique<CWiimote>(platform_);
    gWiimote_->Config(s_.reportCmd, s_.reportFlags, s_.reportMode);
    c_.tmrContinuousDataCollect->setInterval(10);
    c_.tmrContinuousDataCollect->stop();
}

void Measurement::Form_Unload() {
    // The closed window is only hidden and its timer would go on ticking into the
    // released remote while another window keeps the program alive.
    c_.tmrContinuousDataCollect->stop();
    ReleaseWiimote();
}

void Measurement::ReleaseWiimote() { gWiimote_.reset(); }

void Measurement::Fend_Click() { endProgram(); }

void Measurement::Command3_Click() { endProgram(); }

void Measurement::cmdMode0x00_Click() {
    s_.reportCmd = 0x12;
    s_.reportFlags = 0x00;
    s_.reportMode = 0x31;
    gWiimote_->Config(s_.reportCmd, s_.reportFlags, s_.reportMode);
}

void Measurement::cmdMode0x04_Click() {
    // Start-up creates no log writer; the report must go out all the same.
    if (gLogging) gLogging->WriteLog(true, "-Sub cmdMode0x04_Click");
    s_.reportCmd = 0x12;
    s_.reportFlags = 0x04;
    s_.reportMode = 0x31;
    gWiimote_->Config(s_.reportCmd, s_.reportFlags, s_.reportMode);
}

}  // namespace kinemo
