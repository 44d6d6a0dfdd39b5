#pragma once
// Screen snap: a window moved to within a few pixels of an edge of its monitor's work area lands
// on that edge.

namespace velor {

struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
};

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

inline constexpr int kSnapBuffer = 10;

// Where the window's outer frame should stand: each axis moved to the nearer edge it is within
// buffer pixels of (inside or outside the work area); unchanged otherwise.
TPoint SnapToWorkArea(const TRect& frame, const TRect& workArea, int buffer = kSnapBuffer);

}  // namespace velor
