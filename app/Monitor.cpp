// The timer tick and the two commands that start and stop it: the live monitor and
// the recording run that calibrates the time axis. One sample's road runs straight
// through tmrContinuousDataCollect_Timer.
#include "app/Measurement.h"
#include "app/NumberText.h"
#include "display/PlotSurface.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace kinemo {

namespace {
const QString kMonitorStart = QStringLiteral("モニター開始");
const QString kMonitorStop = QStringLiteral("モニター停止");
constexpr float kSweepWidth = 500.0f;
}  // namespace

void Measurement::tmrContinuousDataCollect_Timer() {
    gWiimote_->GetAcc(s_.acc);
    s_.liveX = static_cast<std::int16_t>(s_.liveX + 1);

    // The product is rounded to a 32-bit float on purpose: 477 x 1.05 wraps, 500 x 1 does not.
    const float x = static_cast<float>(s_.liveX) * s_.samplePeriod;
    if (x > kSweepWidth) {
        s_.liveX = 1;
        c_.Picture1->Cls();
    }

    if (!(s_.isRecording && s_.isFineMode)) {
        const float x1 = static_cast<float>(s_.liveX - 1) * s_.samplePeriod;
        const float x2 = static_cast<float>(s_.liveX) * s_.samplePeriod;
        for (int k = 0; k < 3; ++k) {
            if (c_.Check1[k]->checkState() != Qt::Checked) continue;
            c_.Picture1->Line(QPointF(x1, s_.accPrev[k]), QPointF(x2, s_.acc[k]), kAxisColors[k]);
        }
    }

    if (s_.isRecording) StoreSample();
    if (s_.sampleIndex == kRunLength) EndRun();
    s_.accPrev = s_.acc;

    for (int k = 0; k < 3; ++k) c_.Label2[k]->setText(QString::fromStdString(gText(s_.acc[k])));
}

void Measurement::cmdContinuous_Click() {
    c_.HScroll1->hide();
    c_.Line12->setX1(-1);
    c_.Line12->setX2(-1);
    s_.isFineMode = false;
    c_.Picture1->Cls();
    if (!c_.tmrContinuousDataCollect->isActive()) {
        c_.cmdContinuous->setText(kMonitorStop);
        c_.tmrContinuousDataCollect->start();
        c_.Picture1->setAutoRedraw(false);
        c_.Picture1->Cls();
    } else {
        c_.cmdContinuous->setText(kMonitorStart);
        c_.tmrContinuousDataCollect->stop();
        c_.Picture1->setAutoRedraw(true);
    }
}

void Measurement::Command1_Click() {
    c_.Command1->setText(QStringLiteral("記録開始"));
    c_.Picture1->Cls();
    c_.Picture1->setAutoRedraw(false);
    c_.Picture4->show();
    c_.Label17->setText(QStringLiteral("測定・記録中です。しばらくお待ちください。"));
    c_.HScroll1->hide();
    if (!c_.tmrContinuousDataCollect->isActive()) c_.tmrContinuousDataCollect->start();
    c_.cmdContinuous->setText(kMonitorStop);
    c_.cmdContinuous->setEnabled(false);
    s_.isRecording = true;
    s_.sampleIndex = 0;
    s_.measuredAt = nowText();
    c_.Text2->setText(QString::fromStdString(nowText()));
    for (int i = 0; i <= kRunLength; ++i) s_.samples[i] = {kZeroLevel, kZeroLevel, kZeroLevel};
    c_.Command1->setEnabled(false);
    if (s_.isFineMode) c_.Label17->setText(QStringLiteral("精密測定モードです。波形は現れません。しばらくお待ちください。"));
    s_.startMs = clock_.timeGetTime();
}

void Measurement::StoreSample() {
    s_.samples[s_.sampleIndex] = s_.acc;
    s_.sampleIndex = static_cast<std::int16_t>(s_.sampleIndex + 1);
    c_.Label4->setText(QString::number(s_.sampleIndex) + QStringLiteral("/2000"));
}

void Measurement::EndRun() {
    s_.sampleIndex = 0;
    s_.isRecording = false;
    c_.Command1->setEnabled(true);

    const double shownSeconds = elapsedMs(s_.startMs, clock_.timeGetTime()) / 1000.0;
    c_.Label8->setText(QStringLiteral("timeGetTime　: ") + QString::fromStdString(doubleText(shownSeconds)));

    // 2000 samples at p hundredths of a second last 20 p seconds.
    const float elapsed = static_cast<float>(elapsedMs(s_.startMs, clock_.timeGetTime()) / 1000.0);
    s_.samplePeriod = elapsed / 20.0f;
    c_.Label15->setText(QString::fromStdString(rateText(s_.samplePeriod)));

    c_.cmdContinuous->setEnabled(true);
    c_.Label17->setText(QStringLiteral("測定・記録が終了しました。"));
}

void Measurement::FineMode_Click() {
    s_.isFineMode = true;
    c_.Command1->setText(QStringLiteral("記録開始（精密）"));
}

void Measurement::NormalMode_Click() {
    s_.isFineMode = false;
    c_.Command1->setText(QStringLiteral("記録開始（標準）"));
}

void Measurement::Command4_Click() {
    s_.measuredAt = nowText();
    c_.Command4->setText(QString::fromStdString(s_.measuredAt));
}

}  // namespace kinemo
