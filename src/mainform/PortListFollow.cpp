#include "mainform/PortListFollow.h"

#include "app/PortList.h"

namespace velor {

bool FollowPorts(TListState& list, std::vector<std::string> present) {
    if (present == list.Items) {
        return false;
    }
    const bool nothingChosen = !list.Items.empty() && list.Text().empty();
    FillPortList(list, std::move(present), PortChoice::KeepChosen);
    if (nothingChosen) {
        list.ItemIndex = -1;  // a new adapter does not choose itself
    }
    return true;
}

}  // namespace velor
