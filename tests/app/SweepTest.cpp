// Where the live trace starts again at the left.
#include "app/Sweep.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

Sweep::Step advance(Sweep& sweep, float period, int steps) {
    Sweep::Step step{};
    for (int i = 0; i < steps; ++i) step = sweep.advance(period);
    return step;
}

TEST(Sweep, AStepEndingExactlyAtTheRightEdgeDoesNotWrap) {
    Sweep sweep;
    const Sweep::Step step = advance(sweep, 1.0f, 500);
    EXPECT_FALSE(step.wrapped);
    EXPECT_EQ(step.fromX, 499.0f);
    EXPECT_EQ(step.toX, 500.0f);
}

TEST(Sweep, TheStepPastTheRightEdgeStartsAgainAtTheLeft) {
    Sweep sweep;
    const Sweep::Step step = advance(sweep, 1.0f, 501);
    EXPECT_TRUE(step.wrapped);
    EXPECT_EQ(step.fromX, 0.0f);
    EXPECT_EQ(step.toX, 1.0f);
}

}  // namespace
}  // namespace kinemo
