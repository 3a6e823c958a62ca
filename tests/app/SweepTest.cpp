// Where the live trace starts again at the left.
#include "app/Sweep.h"

#include <gtest/gtest.h>

namespace kinemo {

TEST(Sweep, TheTraceStartsAgainAtTheLeftPastTheRightEdgeNotAtIt) {
    Sweep sweep;
    for (int i = 0; i < 499; ++i) sweep.advance(1.0f);
    EXPECT_FALSE(sweep.advance(1.0f).wrapped) << "the step to x = 500";
    const Sweep::Step step = sweep.advance(1.0f);
    EXPECT_TRUE(step.wrapped);
    EXPECT_EQ(step.fromX, 0.0f);
    EXPECT_EQ(step.toX, 1.0f);
}

}  // namespace kinemo
