#pragma once
// Virtual-key codes and the modifier set of the window's key handler. Named apart from
// <windows.h>'s VK_ macros so that both can be included together.

#include <cstdint>

namespace velor {

enum VirtualKey : uint16_t {
    kKeyReturn = 13,  // Enter, both the main and the keypad key
    kKeyF1 = 112,
    kKeyDelete = 46,
    kKeyE = 69,
    kKeyL = 76,
    kKeyR = 82,
};

struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
};

}  // namespace velor
