#include "mainform/FocusOrder.h"

#include <algorithm>
#include <array>

namespace velor {

namespace {
// The never-seen memo is not part of the walk.
constexpr std::array kOrder = {FocusTarget::cbPort,       FocusTarget::ButtonWrite,
                               FocusTarget::ButtonConect, FocusTarget::ButtonOpenHex,
                               FocusTarget::sButton2,     FocusTarget::sButton3,
                               FocusTarget::cbBaudRate};
}  // namespace

FocusTarget NextFocus(FocusTarget current, bool forward,
                      const std::function<bool(FocusTarget)>& takesFocus) {
    const int count = static_cast<int>(kOrder.size());
    const auto found = std::find(kOrder.begin(), kOrder.end(), current);
    // From outside the walk, Tab starts at the first control and Shift+Tab at the last.
    int index =
        found == kOrder.end() ? (forward ? -1 : count) : static_cast<int>(found - kOrder.begin());
    for (int step = 0; step < count; ++step) {
        index = ((forward ? index + 1 : index - 1) % count + count) % count;
        if (takesFocus(kOrder[index])) {
            return kOrder[index];
        }
    }
    return current;
}

}  // namespace velor
