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
constexpr int kFirstScreenLast = 500;          // samples 0..501 whatever the period
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

Viewer::Viewer(MeasurementState& state, MainControls& controls, EventLog& log) : s_(state), c_(controls), log_(log) {}

void Viewer::drawWindow(const Run& run, int first, int last) {
    bool drawn[kAxisCount];
    for (int k = 0; k < kAxisCount; ++k) drawn[k] = c_.axisCheckBoxes[k]->checkState() == Qt::Checked;  // greyed hides too
    PlotSurface* surface = c_.plot;
    const float period = run.samplePeriod;
    // Segments keep their place relative to `first` even where the store has no
    // index for them; those are simply left out.
    const int end = std::min(last, kLastSegment);
    for (int pos = std::max(first, 0); pos <= end; ++pos) {
        const float x1 = static_cast<float>(pos - first) * period;
        const float x2 = static_cast<float>(pos - first + 1) * period;
        for (int k = 0; k < kAxisCount; ++k) {
            if (!drawn[k]) continue;
            surface->drawSegment(QPointF(x1, run.samples[pos][k]), QPointF(x2, run.samples[pos + 1][k]), kAxisColors[k]);
        }
    }
}

void Viewer::redrawRecordedRun() {
    c_.plot->clear();
    drawWindow(s_.recorded, 0, kFirstScreenLast);
}

void Viewer::useBlackBackground() {
    c_.plot->setBackColor(Qt::black);
    c_.zeroLine()->setBorderColor(Qt::white);
}

void Viewer::useWhiteBackground() {
    c_.plot->setBackColor(Qt::white);
    c_.zeroLine()->setBorderColor(Qt::black);
}

void Viewer::openViewer(StoredRun which) {
    s_.viewed = which;
    const Run& run = s_.viewedRun();
    // Each of these runs onViewerScrolled at once if it moves the position; what
    // that draws is replaced below.
    const int maximum = ViewerWindow::scrollMaximum(run.samplePeriod);
    c_.viewerScrollBar->setMaximum(maximum);
    c_.viewerScrollBar->setValue(maximum);
    c_.viewerScrollBar->show();
    placeTimeAxis(c_, TimeAxis{});

    c_.monitorButton->setText(QStringLiteral("モニター開始"));
    c_.sampleTimer->stop();
    c_.statusStrip->hide();
    // With the timer stopped a running recording could never finish, and its
    // disabled buttons would stay disabled for good: give the run up instead.
    if (s_.recording.isRecording()) {
        s_.recording.abandon();
        log_.record("記録を中止しました（記録中にデータの表示を開いたため）");
        c_.calibrateButton->setEnabled(true);
        c_.monitorButton->setEnabled(true);
    }

    c_.measuredAtField->setText(QString::fromStdString(run.measuredAt));
    c_.rateLabel->setText(QString::fromStdString(rateText(run.samplePeriod)));
    c_.plot->clear();
    drawWindow(run, 0, kFirstScreenLast);
}

void Viewer::onViewerScrolled() {
    const Run& run = s_.viewedRun();
    const ViewerWindow window =
        ViewerWindow::at(c_.viewerScrollBar->maximum(), c_.viewerScrollBar->value(), run.samplePeriod);
    c_.plot->clear();
    drawWindow(run, window.viewStart, window.last);
    placeTimeAxis(c_, window.axis);
}

}  // namespace kinemo
