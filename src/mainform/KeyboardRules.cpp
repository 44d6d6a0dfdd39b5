#include "mainform/KeyboardRules.h"

#include <algorithm>

#include "mainform/KeyCodes.h"

namespace velor {

const std::vector<FocusTarget>& SeenFocusOrder(bool serviceLayout) {
    static const std::vector<FocusTarget> normal = {FocusTarget::cbPort, FocusTarget::ButtonWrite};
    static const std::vector<FocusTarget> service = {
        FocusTarget::cbPort,        FocusTarget::ButtonWrite, FocusTarget::ButtonConect,
        FocusTarget::ButtonOpenHex, FocusTarget::sButton2,    FocusTarget::sButton3,
        FocusTarget::cbBaudRate};
    return serviceLayout ? service : normal;
}

FocusTarget NextFocus(FocusTarget current, bool serviceLayout, bool forward,
                      const std::function<bool(FocusTarget)>& canFocus) {
    const auto& form = SeenFocusOrder(true);  // every control that can take the focus
    const auto& seen = SeenFocusOrder(serviceLayout);
    const auto n = static_cast<int>(form.size());
    const auto found = std::find(form.begin(), form.end(), current);
    // A control outside the order (the memo) stands just before its first control.
    int at = found == form.end() ? (forward ? -1 : n) : static_cast<int>(found - form.begin());
    for (int step = 0; step < n; ++step) {
        at = ((forward ? at + 1 : at - 1) + n) % n;
        const FocusTarget candidate = form[static_cast<std::size_t>(at)];
        if (std::find(seen.begin(), seen.end(), candidate) != seen.end() && canFocus(candidate)) {
            return candidate;
        }
    }
    return current;
}

bool PressesFocusedButton(uint16_t key) {
    return key == kKeyReturn;
}

}  // namespace velor
