#include "mainform/PortListFollow.h"

#include <algorithm>

namespace velor {

bool FollowPorts(TListState& list, std::vector<std::string> present) {
    if (present == list.Items) {
        return false;
    }
    const bool wasEmpty = list.Items.empty();
    const std::string chosen = list.Text();
    list.Items = std::move(present);
    const auto kept = std::find(list.Items.begin(), list.Items.end(), chosen);
    if (!chosen.empty() && kept != list.Items.end()) {
        list.ItemIndex = static_cast<int>(kept - list.Items.begin());
    } else if (wasEmpty || !chosen.empty()) {
        // The first adapter of an empty list, or another one in place of the chosen that left.
        list.ItemIndex = list.Items.empty() ? -1 : 0;
    } else {
        list.ItemIndex = -1;  // nothing was chosen: a new adapter does not choose itself
    }
    return true;
}

}  // namespace velor
