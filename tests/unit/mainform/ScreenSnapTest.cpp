#include "mainform/ScreenSnap.h"

#include <gtest/gtest.h>

namespace velor {
namespace {

// A 1920 x 1040 work area (a task bar below), a 335 x 160 window frame.
constexpr TRect kArea{0, 0, 1920, 1040};
TRect FrameAt(int left, int top) {
    return {left, top, 335, 160};
}

TEST(ScreenSnap, LandsOnTheNearEdgeWithinTenPixelsOnly) {
    struct Case {
        int left, top, wantLeft, wantTop;
    } cases[] = {
        {500, 400, 500, 400},               // far from every edge
        {10, 400, 0, 400},                  // 10 px inside the left edge
        {11, 400, 11, 400},                 // 11 px: stays
        {-7, -3, 0, 0},                     // just outside the top-left corner
        {1920 - 335 - 9, 400, 1585, 400},   // near the right edge
        {500, 1040 - 160 + 10, 500, 880},   // near the bottom, partly below the work area
        {1920 - 335 + 12, 400, 1597, 400},  // 12 px past the right edge: stays
    };
    for (const auto& c : cases) {
        const TPoint got = SnapToWorkArea(FrameAt(c.left, c.top), kArea);
        EXPECT_EQ(got, (TPoint{c.wantLeft, c.wantTop})) << c.left << "," << c.top;
    }
}

TEST(ScreenSnap, WorksOnAMonitorThatDoesNotStartAtTheOrigin) {
    const TRect second{1920, 0, 1280, 1024};
    EXPECT_EQ(SnapToWorkArea(FrameAt(1925, 500), second), (TPoint{1920, 500}));
}

}  // namespace
}  // namespace velor
