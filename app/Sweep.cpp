#include "app/Sweep.h"

namespace kinemo {

Sweep::Step Sweep::advance(float samplePeriod) {
    liveX_ = static_cast<std::int16_t>(liveX_ + 1);
    // The product is rounded to a 32-bit float on purpose.
    const float x = static_cast<float>(liveX_) * samplePeriod;
    const bool wrapped = x > kWidth;
    if (wrapped) liveX_ = 1;
    return {static_cast<float>(liveX_ - 1) * samplePeriod, static_cast<float>(liveX_) * samplePeriod, wrapped};
}

}  // namespace kinemo
