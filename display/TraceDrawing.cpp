// Drawing a stored run as three coloured polylines and the background commands.
#include "app/Measurement.h"
#include "app/NumberText.h"
#include "display/PlotSurface.h"
#include "display/Viewer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace kinemo {

namespace {
constexpr int kLastSegment = kStoreSize - 2;  // 2000 -> 2001 is the last segment there is
constexpr int kFirstScreenLast = 500;          // samples 0..501 whatever the period
}  // namespace

Viewer::Viewer(MeasurementState& state, MainControls& controls) : s_(state), c_(controls) {}

void Viewer::DrawTraceWindow(const SampleStore& store, float period, int first, int last) {
    bool drawn[3];
    for (int k = 0; k < 3; ++k) drawn[k] = c_.Check1[k]->checkState() == Qt::Checked;  // greyed hides too
    PlotSurface* surface = c_.Picture1;
    // Segments keep their place relative to `first` even where the store has no
    // index for them; those are simply left out.
    const int end = std::min(last, kLastSegment);
    for (int pos = std::max(first, 0); pos <= end; ++pos) {
        const float x1 = static_cast<float>(pos - first) * period;
        const float x2 = static_cast<float>(pos - first + 1) * period;
        for (int k = 0; k < 3; ++k) {
            if (!drawn[k]) continue;
            surface->Line(QPointF(x1, store[pos][k]), QPointF(x2, store[pos + 1][k]), kAxisColors[k]);
        }
    }
}

void Viewer::DrawRunFirstScreen(const SampleStore& store, float period, const std::string& measuredAt) {
    c_.Picture1->setAutoRedraw(true);
    c_.Text2->setText(QString::fromStdString(measuredAt));
    c_.Label15->setText(QString::fromStdString(rateText(period)));
    c_.Picture1->Cls();
    DrawTraceWindow(store, period, 0, kFirstScreenLast);
}

void Viewer::DrawRecordedData() { DrawRunFirstScreen(s_.samples, s_.samplePeriod, s_.measuredAt); }

void Viewer::DrawLoadedData() { DrawRunFirstScreen(s_.loadedSamples, s_.loadedSamplePeriod, s_.loadedMeasuredAt); }

// A new background erases the traces; they come back with the next draw.
void Viewer::BackBlack_Click() {
    c_.Picture1->setBackColor(Qt::black);
    c_.Line2->setBorderColor(Qt::white);
}

void Viewer::BackWhite_Click() {
    c_.Picture1->setBackColor(Qt::white);
    c_.Line2->setBorderColor(Qt::black);
}

void Viewer::Command2_Click() {
    c_.Picture1->Cls();
    DrawTraceWindow(s_.samples, s_.samplePeriod, 0, kFirstScreenLast);
}

}  // namespace kinemo
