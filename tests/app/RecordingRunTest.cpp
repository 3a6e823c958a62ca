// One recording run without a window: what starting it resets.
#include "app/RecordingRun.h"

#include <gtest/gtest.h>

namespace kinemo {

TEST(RecordingRun, StartingPutsEntry2000BackToTheZeroLevelButNot2001) {
    SampleStore store;
    store.fill({1, 2, 3});
    RecordingRun run;
    run.start(store, 0);
    EXPECT_EQ(store[2000], kZeroSample);
    EXPECT_EQ(store[2001], (AccTriple{1, 2, 3}));
}

}  // namespace kinemo
