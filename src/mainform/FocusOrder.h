#pragma once
// Tab and Shift+Tab in the main window: the seen controls in the window's focus order, skipping
// those that cannot take the focus now (disabled, or outside the client area).

#include <functional>

#include "app/MainWindowModel.h"

namespace velor {

// The next control after (or before) current that takes the focus; current itself when no other
// one does.
FocusTarget NextFocus(FocusTarget current, bool forward,
                      const std::function<bool(FocusTarget)>& takesFocus);

}  // namespace velor
