#include "app/Viewer.h"

#include "app/Colours.h"
#include "app/ViewerWindow.h"
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
constexpr int kFirstScreenLast = 500;          // samples 0..501 whatever the period
}  // namespace

Viewer::Viewer(MeasurementState& state, MainControls& controls, EventLog& log) : s_(state), c_(controls), log_(log) {}

void Viewer::drawWindow(const SampleStore& store, float period, int first, int last) {
    bool drawn[3];
    for (int k = 0; k < 3; ++k) drawn[k] = c_.axisCheckBoxes[k]->checkState() == Qt::Checked;  // greyed hides too
    PlotSurface* surface = c_.plot;
    // Segments keep their place relative to `first` even where the store has no
    // index for them; those are simply left out.
    const int end = std::min(last, kLastSegment);
    for (int pos = std::max(first, 0); pos <= end; ++pos) {
        const float x1 = static_cast<float>(pos - first) * period;
        const float x2 = static_cast<float>(pos - first + 1) * period;
        for (int k = 0; k < 3; ++k) {
            if (!drawn[k]) continue;
            surface->drawSegment(QPointF(x1, store[pos][k]), QPointF(x2, store[pos + 1][k]), kAxisColors[k]);
        }
    }
}

void Viewer::drawRunFirstScreen(const SampleStore& store, float period, const std::string& measuredAt) {
    c_.measuredAtField->setText(QString::fromStdString(measuredAt));
    c_.rateLabel->setText(QString::fromStdString(rateText(period)));
    c_.plot->clear();
    drawWindow(store, period, 0, kFirstScreenLast);
}

void Viewer::drawRecordedRun() { drawRunFirstScreen(s_.samples, s_.samplePeriod, s_.measuredAt); }

void Viewer::drawLoadedRun() { drawRunFirstScreen(s_.loadedSamples, s_.loadedSamplePeriod, s_.loadedMeasuredAt); }

void Viewer::redrawRecordedRun() {
    c_.plot->clear();
    drawWindow(s_.samples, s_.samplePeriod, 0, kFirstScreenLast);
}

void Viewer::useBlackBackground() {
    c_.plot->setBackColor(Qt::black);
    c_.zeroLine()->setBorderColor(Qt::white);
}

void Viewer::useWhiteBackground() {
    c_.plot->setBackColor(Qt::white);
    c_.zeroLine()->setBorderColor(Qt::black);
}

void Viewer::showRecordedRun() { openViewer(true); }

void Viewer::showLoadedRun() { openViewer(false); }

void Viewer::openViewer(bool recorded) {
    s_.showRecorded = recorded;
    // Each of these runs onViewerScrolled at once if it moves the position; what
    // that draws is replaced below.
    const int maximum = ViewerWindow::scrollMaximum(recorded ? s_.samplePeriod : s_.loadedSamplePeriod);
    c_.viewerScrollBar->setMaximum(maximum);
    c_.viewerScrollBar->setValue(maximum);
    s_.viewStart = 0;
    c_.viewerScrollBar->show();
    placeTimeAxis(0, 0);

    c_.monitorButton->setText(QStringLiteral("モニター開始"));
    c_.sampleTimer->stop();
    c_.statusStrip->hide();
    // With the timer stopped a running recording could never finish, and its
    // disabled buttons would stay disabled for good: give the run up instead.
    if (s_.run.isRecording()) {
        s_.run.abandon();
        log_.record("記録を中止しました（記録中にデータの表示を開いたため）");
        c_.calibrateButton->setEnabled(true);
        c_.monitorButton->setEnabled(true);
    }

    if (recorded)
        drawRecordedRun();
    else
        drawLoadedRun();
}

void Viewer::onViewerScrolled() {
    const SampleStore& store = s_.showRecorded ? s_.samples : s_.loadedSamples;
    const float period = s_.showRecorded ? s_.samplePeriod : s_.loadedSamplePeriod;
    const ViewerWindow window =
        ViewerWindow::at(c_.viewerScrollBar->maximum(), c_.viewerScrollBar->value(), period);
    s_.viewStart = window.viewStart;
    c_.plot->clear();
    drawWindow(store, period, window.viewStart, window.last);
    s_.gridPhase = static_cast<std::int16_t>(window.axis.phase);
    placeTimeAxis(window.axis.phase, window.axis.firstSecond);
}

void Viewer::placeTimeAxis(int phase, int firstSecond) {
    const TimeAxis axis{phase, firstSecond};
    for (int i = 0; i < 6; ++i) {
        const int x = axis.secondLineX(i);
        c_.secondLines[i]->setX1(x);
        c_.secondLines[i]->setX2(x);
        c_.halfSecondLines[i]->setX1(axis.halfSecondLineX(i));
        c_.halfSecondLines[i]->setX2(axis.halfSecondLineX(i));
        c_.secondLabels[i]->setText(QString::fromStdString(axis.secondNumber(i)));
        c_.secondLabels[i]->move(x, c_.secondLabels[i]->y());
    }
}

}  // namespace kinemo
