// One sample's road runs straight through onSampleTick: read the remote, advance
// the sweep, draw, store it in a running recording, show it in G.
#include "app/Measurement.h"

#include "app/Colours.h"
#include "app/Viewer.h"
#include "core/NumberText.h"
#include "core/Sample.h"
#include "display/PlotSurface.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <utility>

namespace kinemo {

namespace {
constexpr int kTickMs = 10;

std::string modelName(const HidAttributes& ids) {
    return ids.productId == kWiiRemotePlusProductId ? "Wiiリモコンプラス" : "Wiiリモコン";
}

// Why an open was refused, in the user's words where the cause is a common one.
std::string openErrorText(int error) {
    if (error == EACCES || error == EPERM) return "読み書きの権限がありません";
    if (error == EBUSY) return "ほかのプログラムが使用中です";
    return std::strerror(error);
}

std::string obstacleNotice(const OpenObstacle& obstacle) {
    return modelName(obstacle.attributes) + "（" + idsText(obstacle.attributes) + "）が " + obstacle.path +
           " にありますが、開けません（" + openErrorText(obstacle.error) +
           "）。\n\n"
           "このコンピュータの前でログインしている利用者が使えるように、udev のルール 60-kinemo-wiimote.rules を "
           "/etc/udev/rules.d/ に入れてから、リモコンをつなぎ直してください。"
           "手順は README.ja.md の「うまくつながらないとき」にあります。\n\n"
           "Kinemo はその間もリモコンを探し続けます。";
}
}  // namespace

Measurement::Measurement(MeasurementState& state, MainControls& controls, HidPlatform& platform, Clock& clock,
                         FileDialogs& dialogs, EventLog& log)
    : endProgram([] { QApplication::exit(0); }),
      state_(state),
      controls_(controls),
      platform_(platform),
      clock_(clock),
      dialogs_(dialogs),
      log_(log) {
    for (QString& text : readoutTexts_) text = QString::fromUtf8(kNoValueText);
    frameConnection_ = QObject::connect(controls_.plot, &PlotSurface::frameDue, [this] { showNewestTexts(); });
}

Measurement::~Measurement() { QObject::disconnect(frameConnection_); }

std::string Measurement::nowText() { return dateTimeText(clock_.now()); }

void Measurement::startUp() {
    controls_.cursorLine->setX1(-1);
    controls_.cursorLine->setX2(-1);
    state_.recorder.abandon();
    connectRemote();

    placeTimeAxis(controls_, TimeAxis{});
    controls_.measuredAtField->setText(QString::fromStdString(nowText()));

    for (int i = 0; i < 6; ++i) {
        controls_.halfSecondLines[i]->setBorderColor(kGridGrey);
        controls_.secondLines[i]->setBorderColor(kGridGrey);
    }
    for (LineShape* line : controls_.levelLines) line->setBorderColor(kGridGrey);
    controls_.zeroLine()->setBorderColor(Qt::white);
    controls_.traceAreaEdge->setBorderColor(kGridGrey);

    state_.viewed = RunSlot::Recorded;
    controls_.sampleTimer->start();
}

void Measurement::connectRemote() {
    remote_ = std::make_unique<WiiRemote>(platform_);
    searchFailing_ = false;
    remote_->requestAccelerometerReports(ReportDelivery::Continuous);
    logRemoteChange(false);
    controls_.sampleTimer->setInterval(kTickMs);
    controls_.sampleTimer->stop();
}

void Measurement::shutDown() {
    // The closed window is only hidden and its timer would go on ticking into the
    // released remote while another window keeps the program alive.
    controls_.sampleTimer->stop();
    releaseRemote();
}

void Measurement::releaseRemote() { remote_.reset(); }

// Kept on purpose: 終了 ends the program without closing the remote; the system
// closes the node as the program ends.
void Measurement::quit() { endProgram(); }

void Measurement::reportOnChange() { requestReports(ReportDelivery::OnChange); }

void Measurement::reportContinuously() { requestReports(ReportDelivery::Continuous); }

void Measurement::requestReports(ReportDelivery delivery) {
    const bool wasConnected = remote_->isConnected();
    remote_->requestAccelerometerReports(delivery);
    logRemoteChange(wasConnected);
}

void Measurement::logRemoteChange(bool wasConnected) {
    const bool connected = remote_->isConnected();
    if (connected && !wasConnected) {
        const HidAttributes ids = remote_->attributes();
        log_.record("リモコンを接続しました（" + remote_->devicePath() + "、" + modelName(ids) + " " + idsText(ids) +
                    "）");
        searchFailing_ = false;
        toldObstacle_.reset();
    } else if (!connected && wasConnected) {
        log_.record("リモコンとの接続が切れました（読み取りができなくなりました）");
    } else if (!connected && remote_->obstacle()) {
        if (remote_->obstacle() != toldObstacle_) tellObstacle(*remote_->obstacle());
    } else if (!connected && !searchFailing_) {
        log_.record("リモコンが見つかりません。探し続けます。");
        searchFailing_ = true;
    }
}

void Measurement::tellObstacle(const OpenObstacle& obstacle) {
    // Not the status strip: it is hidden in the viewer and busy during a run. A
    // window that does not wait for an answer, so the tick goes on.
    log_.record("リモコンが見つかりましたが開けません（" + obstacle.path + "、" + openErrorText(obstacle.error) + "）");
    dialogs_.showNotice(QString::fromStdString(obstacleNotice(obstacle)));
    toldObstacle_ = obstacle;
    searchFailing_ = true;
}

void Measurement::onSampleTick() {
    const bool wasConnected = remote_->isConnected();
    remote_->readAcceleration(state_.acc);
    logRemoteChange(wasConnected);
    const Sweep::Step step = state_.sweep.advance(state_.recorded.samplePeriod);
    if (step.wrapped) controls_.plot->clear();

    if (!(state_.recorder.isRecording() && state_.isFineMode)) {
        for (int k = 0; k < kAxisCount; ++k) {
            if (controls_.axisCheckBoxes[k]->checkState() != Qt::Checked) continue;
            controls_.plot->drawSegment(QPointF(step.fromX, state_.accPrev[k]), QPointF(step.toX, state_.acc[k]),
                                        kAxisColors[k]);
        }
    }

    if (state_.recorder.isRecording()) storeSample();
    if (state_.recorder.isComplete()) finishRunAndCalibrate();
    state_.accPrev = state_.acc;

    // Without a remote the triple is a stand-in, and a number would read as a measurement.
    // Kept on purpose: the stand-in 0, 0, 0 is still drawn (along the plot's top edge)
    // and stored by a run; only the readouts tell it apart.
    const bool measured = remote_->hasReading();
    for (int k = 0; k < kAxisCount; ++k)
        readoutTexts_[k] = QString::fromStdString(measured ? gText(state_.acc[k]) : kNoValueText);
    controls_.plot->requestFrame();
}

void Measurement::showNewestTexts() {
    for (int k = 0; k < kAxisCount; ++k) controls_.readouts[k]->setText(readoutTexts_[k]);
    if (!counterText_.isEmpty()) controls_.sampleCounter->setText(std::exchange(counterText_, QString()));
}

// Kept on purpose: the sweep is not reset, so a restarted trace goes on at the x
// where it stopped, and the strip a viewer hid stays hidden until the next run.
void Measurement::toggleMonitor() {
    controls_.viewerScrollBar->hide();
    controls_.cursorLine->setX1(-1);
    controls_.cursorLine->setX2(-1);
    // Kept on purpose: every press ends fine mode while the record button goes on
    // reading 記録開始（精密）; the next run is a standard one.
    state_.isFineMode = false;
    controls_.plot->clear();
    if (!controls_.sampleTimer->isActive()) {
        controls_.monitorButton->setText(kMonitorStop);
        controls_.sampleTimer->start();
        // Kept on purpose: a second clear of a plot just cleared; nothing shows it.
        controls_.plot->clear();
    } else {
        controls_.monitorButton->setText(kMonitorStart);
        controls_.sampleTimer->stop();
    }
}

// Kept on purpose: the sweep is not reset either; the run's trace goes on at the x
// where the live trace was.
void Measurement::startRecordingRun() {
    // Kept on purpose: the run's caption replaces the mode's (標準)/(精密) until the
    // next choice of mode.
    controls_.recordButton->setText(QStringLiteral("記録開始"));
    controls_.plot->clear();
    controls_.statusStrip->show();
    controls_.statusText->setText(QStringLiteral("測定・記録中です。しばらくお待ちください。"));
    controls_.viewerScrollBar->hide();
    if (!controls_.sampleTimer->isActive()) controls_.sampleTimer->start();
    controls_.monitorButton->setText(kMonitorStop);
    controls_.monitorButton->setEnabled(false);
    // Kept on purpose: the stored date and the date field read the clock each for
    // itself; at a second's edge the field may show one second later than the file.
    state_.recorded.measuredAt = nowText();
    controls_.measuredAtField->setText(QString::fromStdString(nowText()));
    controls_.recordButton->setEnabled(false);
    if (state_.isFineMode)
        controls_.statusText->setText(QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
    // Logged before the clock starts the run: a slow log disk must not lengthen the
    // measured duration and so lower the rate.
    log_.record(state_.isFineMode ? "記録を開始しました（精密測定）" : "記録を開始しました（標準測定）");
    state_.recorder.start(state_.recorded.samples, clock_.monotonicMs());
}

void Measurement::storeSample() {
    state_.recorder.store(state_.recorded.samples, state_.acc);
    counterText_ = QString::number(state_.recorder.sampleIndex()) + QLatin1Char('/') + QString::number(kRunLength);
}

void Measurement::finishRunAndCalibrate() {
    const RunRecorder::Calibration calibration = state_.recorder.finish(clock_);
    controls_.recordButton->setEnabled(true);
    controls_.unreachable.elapsedLabel->setText(QStringLiteral("timeGetTime　: ") +
                                                QString::fromStdString(doubleText(calibration.seconds)));
    state_.recorded.samplePeriod = calibration.samplePeriod;
    controls_.rateLabel->setText(QString::fromStdString(rateText(state_.recorded.samplePeriod)));
    controls_.monitorButton->setEnabled(true);
    controls_.statusText->setText(QStringLiteral("測定・記録が終了しました。"));
    log_.record("記録が終了しました（" + std::to_string(kRunLength) + "サンプル、" + doubleText(calibration.seconds) +
                "秒、" + rateText(state_.recorded.samplePeriod) + "）");
}

void Measurement::chooseFineMode() {
    state_.isFineMode = true;
    controls_.recordButton->setText(QStringLiteral("記録開始（精密）"));
}

void Measurement::chooseNormalMode() {
    state_.isFineMode = false;
    controls_.recordButton->setText(QStringLiteral("記録開始（標準）"));
}

void Measurement::stampTime() {
    state_.recorded.measuredAt = nowText();
    controls_.unreachable.stampTimeButton->setText(QString::fromStdString(state_.recorded.measuredAt));
}

}  // namespace kinemo
