#pragma once
// Virtual-key codes and the modifier set of the window's key handler.

#include <cstdint>

namespace velor {

enum VirtualKey : uint16_t {
    VK_F1 = 112,
    VK_DELETE = 46,
    VK_E = 69,
    VK_L = 76,
    VK_R = 82,
};

struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

}  // namespace velor
