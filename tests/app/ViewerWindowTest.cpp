// Which five seconds of a run the viewer shows for a position of the scroll bar.
#include "app/ViewerWindow.h"

#include <gtest/gtest.h>

namespace kinemo {

// The scale runs backwards: the right end shows the start, the left end the latest window.
TEST(ViewerWindow, TheWindowEndsFiveSecondsOfXAfterItsStart) {
    const struct { float period; int maximum, value, viewStart, last; } cases[] = {
        {1.05f, 1428, 1428, 0, 500},     {1.05f, 1428, 728, 700, 1235}, {1.0f, 1500, 1, 1499, 1999},
        {0.8f, 1874, 1, 1873, 1998},     {0.046f, 32608, 1, 32607, 2000},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "period " << k.period << " at " << k.value);
        const ViewerWindow window = ViewerWindow::at(k.maximum, k.value, k.period);
        EXPECT_EQ(window.viewStart, k.viewStart);
        EXPECT_EQ(window.last, k.last);
    }
}

// A start of 99.75 pixels rounds to 100: the line at x = 0 then stands for second 1.
TEST(ViewerWindow, TheAxisNumbersTheSecondsFromTheStartRoundedToAPixel) {
    const struct { float period; int maximum, value, phase, firstSecond; } cases[] = {
        {1.05f, 1428, 1333, 0, 1}, {1.05f, 1428, 1334, 99, 0}, {1.05f, 1428, 728, 35, 7},
        {1.0f, 1500, 1, 99, 14},   {0.046f, 32608, 1, 0, 15},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(testing::Message() << "period " << k.period << " at " << k.value);
        const TimeAxis axis = ViewerWindow::at(k.maximum, k.value, k.period).axis;
        EXPECT_EQ(axis.phase, k.phase);
        EXPECT_EQ(axis.firstSecond, k.firstSecond);
    }
}

}  // namespace kinemo
