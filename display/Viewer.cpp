// The data viewer: opening it on a run, the scroll handler and the time axis.
#include "display/Viewer.h"

#include "app/NumberText.h"
#include "display/PlotSurface.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kinemo {

namespace {

constexpr double kScrollSpan = 1500.0;  // fifteen seconds in hundredths
constexpr double kWindowWidth = 500.0;  // five seconds
constexpr int kScrollLimit = std::numeric_limits<std::int16_t>::max();

std::int16_t clampToInt16(double value) {
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(value, lo, hi));
}

}  // namespace

int scrollMaximum(float samplePeriod) {
    if (!(samplePeriod > 0)) return 1;
    const double samples = std::floor(kScrollSpan / static_cast<double>(samplePeriod));
    return static_cast<int>(std::clamp(samples, 1.0, static_cast<double>(kScrollLimit)));
}

void Viewer::DataRec_Click() { OpenViewer(true); }

void Viewer::ReadDate_Click() { OpenViewer(false); }

void Viewer::OpenViewer(bool recorded) {
    s_.showRecorded = recorded;
    // Each of these runs HScroll1_Change at once if it moves the position; what that
    // draws is replaced below.
    const int maximum = scrollMaximum(recorded ? s_.samplePeriod : s_.loadedSamplePeriod);
    c_.HScroll1->setMaximum(maximum);
    c_.HScroll1->setValue(maximum);
    s_.viewStart = 0;
    c_.HScroll1->show();
    PlaceTimeAxis(0, 0);

    c_.cmdContinuous->setText(QStringLiteral("モニター開始"));
    c_.tmrContinuousDataCollect->stop();
    c_.Picture4->hide();
    // With the timer stopped a running recording could never finish, and its
    // disabled buttons would stay disabled for good: give the run up instead.
    if (s_.isRecording) {
        s_.isRecording = false;
        s_.sampleIndex = 0;
        c_.Command1->setEnabled(true);
        c_.cmdContinuous->setEnabled(true);
    }

    if (recorded)
        DrawRecordedData();
    else
        DrawLoadedData();
}

void Viewer::HScroll1_Change() {
    const SampleStore& store = s_.showRecorded ? s_.samples : s_.loadedSamples;
    const float period = s_.showRecorded ? s_.samplePeriod : s_.loadedSamplePeriod;
    s_.viewStart = clampToInt16(static_cast<double>(c_.HScroll1->maximum()) - c_.HScroll1->value());
    c_.Picture1->Cls();

    // Within the range OpenViewer sets, the window's start lies within fifteen
    // seconds. A period changed since then (a load that failed half-way) can put it
    // anywhere; bounding it keeps every integer below well defined, and the store
    // is never read past its end whatever the window.
    double start = static_cast<double>(s_.viewStart) * static_cast<double>(period);
    if (!std::isfinite(start)) start = 0;
    start = std::clamp(start, -1e9, 1e9);

    // The window ends five seconds of x after its start, not 500 / period samples
    // later: windows of a slow run reach past the surface's edge, those of a fast
    // run stop short of it.
    const int last = clampToInt16(std::nearbyint(start + kWindowWidth));
    DrawTraceWindow(store, period, s_.viewStart, last);

    // Phase and first second both come from the start rounded to a whole pixel:
    // taking the second from the unrounded start would number the lines one second
    // short whenever the start lies just below a whole second (99.75 would put "0"
    // on the line at 1 s). Floor division keeps negative starts consistent too.
    const long long rounded = std::llrint(start);
    s_.gridPhase = static_cast<std::int16_t>((rounded % 100 + 100) % 100);
    PlaceTimeAxis(s_.gridPhase, static_cast<int>((rounded - s_.gridPhase) / 100));
}

void Viewer::PlaceTimeAxis(int phase, int firstSecond) {
    for (int i = 0; i < 6; ++i) {
        const int x = 100 * i - phase;
        c_.Line11[i]->setX1(x);
        c_.Line11[i]->setX2(x);
        c_.Line10[i]->setX1(x + 50);
        c_.Line10[i]->setX2(x + 50);
        c_.Label9[i]->setText(QString::fromStdString(floatText(static_cast<float>(firstSecond + i))));
        c_.Label9[i]->move(x, c_.Label9[i]->y());
    }
}

void Viewer::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPointF) {}

}  // namespace kinemo
