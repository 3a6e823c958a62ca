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

namespace kinemo {

namespace {
const QString kMonitorStart = QStringLiteral("モニター開始");
const QString kMonitorStop = QStringLiteral("モニター停止");
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
      s_(state),
      c_(controls),
      platform_(platform),
      clock_(clock),
      dialogs_(dialogs),
      log_(log) {}

Measurement::~Measurement() = default;

std::string Measurement::nowText() { return dateTimeText(clock_.now()); }

void Measurement::load() {
    c_.cursorLine->setX1(-1);
    c_.cursorLine->setX2(-1);
    s_.recording.abandon();
    connectRemote();

    placeTimeAxis(c_, TimeAxis{});
    c_.measuredAtField->setText(QString::fromStdString(nowText()));

    for (int i = 0; i < 6; ++i) {
        c_.halfSecondLines[i]->setBorderColor(kGridGrey);
        c_.secondLines[i]->setBorderColor(kGridGrey);
    }
    for (LineShape* line : c_.levelLines) line->setBorderColor(kGridGrey);
    c_.zeroLine()->setBorderColor(Qt::white);
    c_.traceAreaEdge->setBorderColor(kGridGrey);

    s_.viewed = StoredRun::Recorded;
    c_.sampleTimer->start();
}

void Measurement::connectRemote() {
    remote_ = std::make_unique<WiiRemote>(platform_);
    searchFailing_ = false;
    remote_->requestAccelerometerReports(ReportDelivery::Continuous);
    logRemoteChange(false);
    c_.sampleTimer->setInterval(kTickMs);
    c_.sampleTimer->stop();
}

void Measurement::unload() {
    // The closed window is only hidden and its timer would go on ticking into the
    // released remote while another window keeps the program alive.
    c_.sampleTimer->stop();
    releaseRemote();
}

void Measurement::releaseRemote() { remote_.reset(); }

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
        log_.record("リモコンを接続しました（" + remote_->devicePath() + "、" + modelName(ids) + " " + idsText(ids) + "）");
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
    remote_->readAcceleration(s_.acc);
    logRemoteChange(wasConnected);
    const Sweep::Step step = s_.sweep.advance(s_.recorded.samplePeriod);
    if (step.wrapped) c_.plot->clear();

    if (!(s_.recording.isRecording() && s_.isFineMode)) {
        for (int k = 0; k < kAxisCount; ++k) {
            if (c_.axisCheckBoxes[k]->checkState() != Qt::Checked) continue;
            c_.plot->drawSegment(QPointF(step.fromX, s_.accPrev[k]), QPointF(step.toX, s_.acc[k]), kAxisColors[k]);
        }
    }

    if (s_.recording.isRecording()) storeSample();
    if (s_.recording.isComplete()) finishRunAndCalibrate();
    s_.accPrev = s_.acc;

    // Without a remote the triple is a stand-in, and a number would read as a measurement.
    const bool measured = remote_->hasReading();
    for (int k = 0; k < kAxisCount; ++k)
        c_.readouts[k]->setText(QString::fromStdString(measured ? gText(s_.acc[k]) : kNoValueText));
}

void Measurement::toggleMonitor() {
    c_.viewerScrollBar->hide();
    c_.cursorLine->setX1(-1);
    c_.cursorLine->setX2(-1);
    s_.isFineMode = false;
    c_.plot->clear();
    if (!c_.sampleTimer->isActive()) {
        c_.monitorButton->setText(kMonitorStop);
        c_.sampleTimer->start();
        c_.plot->clear();
    } else {
        c_.monitorButton->setText(kMonitorStart);
        c_.sampleTimer->stop();
    }
}

void Measurement::startCalibrationRun() {
    c_.calibrateButton->setText(QStringLiteral("記録開始"));
    c_.plot->clear();
    c_.statusStrip->show();
    c_.statusText->setText(QStringLiteral("測定・記録中です。しばらくお待ちください。"));
    c_.viewerScrollBar->hide();
    if (!c_.sampleTimer->isActive()) c_.sampleTimer->start();
    c_.monitorButton->setText(kMonitorStop);
    c_.monitorButton->setEnabled(false);
    s_.recorded.measuredAt = nowText();
    c_.measuredAtField->setText(QString::fromStdString(nowText()));
    c_.calibrateButton->setEnabled(false);
    if (s_.isFineMode) c_.statusText->setText(QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
    // Logged before the clock starts the run: a slow log disk must not lengthen the
    // measured duration and so lower the rate.
    log_.record(s_.isFineMode ? "記録を開始しました（精密測定）" : "記録を開始しました（標準測定）");
    s_.recording.start(s_.recorded.samples, clock_.monotonicMs());
}

void Measurement::storeSample() {
    s_.recording.store(s_.recorded.samples, s_.acc);
    c_.sampleCounter->setText(QString::number(s_.recording.sampleIndex()) + QLatin1Char('/') + QString::number(kRunLength));
}

void Measurement::finishRunAndCalibrate() {
    const RecordingRun::Calibration calibration = s_.recording.finish(clock_);
    c_.calibrateButton->setEnabled(true);
    c_.unreachable.elapsedLabel->setText(QStringLiteral("timeGetTime　: ") + QString::fromStdString(doubleText(calibration.seconds)));
    s_.recorded.samplePeriod = calibration.samplePeriod;
    c_.rateLabel->setText(QString::fromStdString(rateText(s_.recorded.samplePeriod)));
    c_.monitorButton->setEnabled(true);
    c_.statusText->setText(QStringLiteral("測定・記録が終了しました。"));
    log_.record("記録が終了しました（" + std::to_string(kRunLength) + "サンプル、" + doubleText(calibration.seconds) +
                "秒、" + rateText(s_.recorded.samplePeriod) + "）");
}

void Measurement::chooseFineMode() {
    s_.isFineMode = true;
    c_.calibrateButton->setText(QStringLiteral("記録開始（精密）"));
}

void Measurement::chooseNormalMode() {
    s_.isFineMode = false;
    c_.calibrateButton->setText(QStringLiteral("記録開始（標準）"));
}

void Measurement::stampTime() {
    s_.recorded.measuredAt = nowText();
    c_.unreachable.stampTimeButton->setText(QString::fromStdString(s_.recorded.measuredAt));
}

}  // namespace kinemo
