#include "app/Sweep.h"

namespace kinemo {

Sweep::Step Sweep::advance(float samplePeriod) {
    liveX_ = static_cast<std::int16_t>(liveX_ + 1);
    // Kept on purpose: the product is rounded to a 32-bit float, which decides the
    // step at which the trace starts again at the left (500 x 1 stays, 477 x 1.05 wraps).
    const float x = static_cast<float>(liveX_) * samplePeriod;
    const bool wrapped = x > kWidth;
    if (wrapped) liveX_ = 1;
    return {static_cast<float>(liveX_ - 1) * samplePeriod, static_cast<float>(liveX_) * samplePeriod, wrapped};
}

}  // namespace kinemo
