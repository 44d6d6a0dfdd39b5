#pragma once
// How the keyboard moves through the main window and presses its buttons, free of any toolkit;
// the window only applies these rules.

#include <cstdint>
#include <functional>
#include <vector>

#include "app/MainWindowModel.h"

namespace velor {

// The controls that are seen in a layout, in the form's focus order. The memos and the skin-name
// box are never seen and never take the focus.
const std::vector<FocusTarget>& SeenFocusOrder(bool serviceLayout);

// Where Tab (forward) or Shift+Tab (backward) moves the focus from `current`: the next control
// of the form's order that is seen in the layout and that canFocus accepts (enabled), wrapping
// round. A current control that is not seen (the detect button after a port choice in the normal
// layout) steps from its place in the form's order. Returns current when nothing else qualifies.
FocusTarget NextFocus(FocusTarget current, bool serviceLayout, bool forward,
                      const std::function<bool(FocusTarget)>& canFocus);

// Whether a key pressed on a focused button presses it as the window's platform does. Enter; the
// space bar, which every toolkit's button already answers, is left to the toolkit.
bool PressesFocusedButton(uint16_t key);

}  // namespace velor
