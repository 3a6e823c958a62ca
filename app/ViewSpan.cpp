#include "app/ViewSpan.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
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

std::string TimeAxis::secondNumber(int i) const { return floatText(static_cast<float>(firstSecond + i)); }

int ViewSpan::scrollMaximum(float samplePeriod) {
    if (!(samplePeriod > 0)) return 1;
    const double samples = std::floor(kScrollSpan / static_cast<double>(samplePeriod));
    return static_cast<int>(std::clamp(samples, 1.0, static_cast<double>(kScrollLimit)));
}

ViewSpan ViewSpan::atScrollPosition(int scrollMaximum, int scrollValue, float samplePeriod) {
    ViewSpan window;
    window.viewStart = clampToInt16(static_cast<double>(scrollMaximum) - scrollValue);

    // Within the range the viewer sets, the window's start lies within fifteen
    // seconds; bounding it all the same keeps every integer below well defined for
    // any arguments.
    double start = static_cast<double>(window.viewStart) * static_cast<double>(samplePeriod);
    if (!std::isfinite(start)) start = 0;
    start = std::clamp(start, -1e9, 1e9);
    window.last = clampToInt16(std::nearbyint(start + kWindowWidth));

    // Phase and first second both come from the start rounded to a whole pixel:
    // taking the second from the unrounded start would number the lines one second
    // short whenever the start lies just below a whole second (99.75 would put "0"
    // on the line at 1 s). Floor division keeps negative starts consistent too.
    const long long rounded = std::llrint(start);
    window.axis.phase = static_cast<int>((rounded % 100 + 100) % 100);
    window.axis.firstSecond = static_cast<int>((rounded - window.axis.phase) / 100);
    return window;
}

}  // namespace kinemo
