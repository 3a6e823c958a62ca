// Which five seconds of a stored run the viewer shows, and where its time axis
// stands, for a position of the scroll bar.
//
// Kept on purpose: the scroll bar's scale runs backwards: with the thumb at the right end
// (value = maximum) the window starts at sample 0; the left end shows the latest
// window. The maximum is the number of samples in fifteen seconds, so every window
// ends by index 2000.
#pragma once

#include <cstdint>
#include <string>

namespace kinemo {

// The second lines of the time axis, `phase` pixels left of every 100th, numbered
// from `firstSecond`.
struct TimeAxis {
    int phase = 0;
    int firstSecond = 0;

    int secondLineX(int i) const { return 100 * i - phase; }
    int halfSecondLineX(int i) const { return secondLineX(i) + 50; }
    std::string secondNumber(int i) const;
};

struct ViewSpan {
    std::int16_t viewStart = 0;  // the sample drawn at x = 0
    int last = 0;                // the last segment that starts in the window
    TimeAxis axis;

    // The scroll bar's maximum for a run's sample period: the samples in fifteen
    // seconds, limited to the bar's 16-bit range 1..32767. A period that is zero,
    // negative or not a number leaves a single position.
    static int scrollMaximum(float samplePeriod);

    // The window at a scroll position. The window ends five seconds of x after its
    // start, not 500 / period samples later: windows of a slow run reach past the
    // surface's edge, those of a fast run stop short of it.
    static ViewSpan atScrollPosition(int scrollMaximum, int scrollValue, float samplePeriod);
};

}  // namespace kinemo
