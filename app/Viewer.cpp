#include "app/Viewer.h"

#include "app/Colours.h"
#include "core/NumberText.h"
#include "display/PlotSurface.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace kinemo {

namespace {
constexpr int kLastSegment = kStoreSize - 2;  // 2000 -> 2001 is the last segment there is
constexpr int kFirstScreenLast = 500;         // samples 0..501 whatever the period
}  // namespace

void placeTimeAxis(MainControls& c, const TimeAxis& axis) {
    for (int i = 0; i < 6; ++i) {
        const int x = axis.secondLineX(i);
        c.secondLines[i]->setX1(x);
        c.secondLines[i]->setX2(x);
        c.halfSecondLines[i]->setX1(axis.halfSecondLineX(i));
        c.halfSecondLines[i]->setX2(axis.halfSecondLineX(i));
        c.secondLabels[i]->setText(QString::fromStdString(axis.secondNumber(i)));
        c.secondLabels[i]->move(x, c.secondLabels[i]->y());
    }
}

Viewer::Viewer(MeasurementState& state, MainControls& controls, EventLog& log)
    : state_(state), controls_(controls), log_(log) {}

void Viewer::drawSpan(const SampleRun& run, int first, int last) {
    bool drawn[kAxisCount];
    for (int k = 0; k < kAxisCount; ++k)
        drawn[k] = controls_.axisCheckBoxes[k]->checkState() == Qt::Checked;  // greyed hides too
    PlotSurface* surface = controls_.plot;
    const float period = run.samplePeriod;
    // Segments keep their place relative to `first` even where the store has no
    // index for them; those are simply left out.
    const int end = std::min(last, kLastSegment);
    for (int pos = std::max(first, 0); pos <= end; ++pos) {
        const float x1 = static_cast<float>(pos - first) * period;
        const float x2 = static_cast<float>(pos - first + 1) * period;
        for (int k = 0; k < kAxisCount; ++k) {
            if (!drawn[k]) continue;
            surface->drawSegment(QPointF(x1, run.samples[pos][k]), QPointF(x2, run.samples[pos + 1][k]),
                                 kAxisColors[k]);
        }
    }
}

void Viewer::redrawRecordedRun() {
    controls_.plot->clear();
    drawSpan(state_.recorded, 0, kFirstScreenLast);
}

void Viewer::useBlackBackground() {
    controls_.plot->setBackColor(Qt::black);
    controls_.zeroLine()->setBorderColor(Qt::white);
}

void Viewer::useWhiteBackground() {
    controls_.plot->setBackColor(Qt::white);
    controls_.zeroLine()->setBorderColor(Qt::black);
}

void Viewer::openViewer(RunSlot which) {
    state_.viewed = which;
    const SampleRun& run = state_.viewedRun();
    // Each of these runs onViewerScrolled at once if it moves the position; what
    // that draws is replaced below.
    const int maximum = ViewSpan::scrollMaximum(run.samplePeriod);
    controls_.viewerScrollBar->setMaximum(maximum);
    controls_.viewerScrollBar->setValue(maximum);
    controls_.viewerScrollBar->show();
    placeTimeAxis(controls_, TimeAxis{});

    controls_.monitorButton->setText(kMonitorStart);
    controls_.sampleTimer->stop();
    controls_.statusStrip->hide();
    // With the timer stopped a running recording could never finish, and its
    // disabled buttons would stay disabled for good: give the run up instead.
    if (state_.recorder.isRecording()) {
        state_.recorder.abandon();
        log_.record("記録を中止しました（記録中にデータの表示を開いたため）");
        controls_.recordButton->setEnabled(true);
        controls_.monitorButton->setEnabled(true);
    }

    controls_.measuredAtField->setText(QString::fromStdString(run.measuredAt));
    controls_.rateLabel->setText(QString::fromStdString(rateText(run.samplePeriod)));
    controls_.plot->clear();
    drawSpan(run, 0, kFirstScreenLast);
}

void Viewer::onViewerScrolled() {
    const SampleRun& run = state_.viewedRun();
    const ViewSpan span = ViewSpan::atScrollPosition(controls_.viewerScrollBar->maximum(),
                                                     controls_.viewerScrollBar->value(), run.samplePeriod);
    controls_.plot->clear();
    drawSpan(run, span.viewStart, span.last);
    placeTimeAxis(controls_, span.axis);
}

}  // namespace kinemo
