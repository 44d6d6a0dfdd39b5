#pragma once
// The main window's fixed geometry and the open dialog's filter, shared by every front end.
// Sizes are in pixels at 96 dots per inch; a front end scales them to its monitor.

namespace velor {

inline constexpr int kClientWidth = 329;
inline constexpr int kClientHeight = 127;
// The service layout fixes the outer height, title bar and borders included.
inline constexpr int kServiceOuterHeight = 340;

inline constexpr const char* kOpenHexFilterName = "Файли: I8HEX, I16HEX, I32HEX";
inline constexpr const char* kOpenHexFilterPattern = "*.hex";

// The client height of the service layout under a frame (title bar and borders) of frameHeight.
constexpr int ServiceClientHeight(int frameHeight) {
    return kServiceOuterHeight - frameHeight;
}

}  // namespace velor
