// The live trace runs from the plot's left edge to the right and starts again at
// the left once it has passed five seconds' width.
#pragma once

#include <cstdint>

namespace kinemo {

class Sweep {
public:
    static constexpr float kWidth = 500.0f;

    // The segment of one step, from the previous position to the new one, in pixels.
    struct Step {
        float fromX;
        float toX;
        bool wrapped;  // the plot is to be cleared before the segment is drawn
    };

    // One step further. A position beyond the width (x > 500, the product rounded
    // to a 32-bit float: 477 x 1.05 wraps, 500 x 1 does not) starts again at step 1.
    Step advance(float samplePeriod);

    // Steps since the last wrap.
    std::int16_t liveX() const { return liveX_; }

private:
    // Kept on purpose: a count of steps, not of pixels, and 16 bits wide, as the
    // design has it. After a run changes the period the live trace jumps to its step
    // count's x at the new period.
    std::int16_t liveX_ = 0;
};

}  // namespace kinemo
