#include "mainform/ScreenSnap.h"

#include <cstdlib>

namespace velor {

namespace {

// The new start of a span [start, start + size) against the area [low, high).
int SnapAxis(int start, int size, int low, int high, int buffer) {
    const int toLow = std::abs(start - low);
    const int toHigh = std::abs(start + size - high);
    if (toLow <= buffer && toLow <= toHigh) {
        return low;
    }
    if (toHigh <= buffer) {
        return high - size;
    }
    return start;
}

}  // namespace

TPoint SnapToWorkArea(const TRect& frame, const TRect& workArea, int buffer) {
    return {SnapAxis(frame.Left, frame.Width, workArea.Left, workArea.Right(), buffer),
            SnapAxis(frame.Top, frame.Height, workArea.Top, workArea.Bottom(), buffer)};
}

}  // namespace velor
