#pragma once
// The one rule by which the port list is filled: at start-up, on Ctrl+R, and whenever the ports
// present change. A list refilled behind the operator's back keeps the port the operator chose.

#include <algorithm>
#include <string>
#include <vector>

#include "app/MainWindowModel.h"

namespace velor {

enum class PortChoice {
    First,       // start-up and Ctrl+R: the first port, whatever was chosen before
    KeepChosen,  // a refill nobody asked for: the chosen port while it is still present
};

inline void FillPortList(TListState& list, std::vector<std::string> ports, PortChoice choice) {
    const std::string chosen = list.Text();
    list.Items = std::move(ports);
    list.ItemIndex = list.Items.empty() ? -1 : 0;
    if (choice == PortChoice::KeepChosen && !chosen.empty()) {
        const auto found = std::find(list.Items.begin(), list.Items.end(), chosen);
        if (found != list.Items.end()) {
            list.ItemIndex = static_cast<int>(found - list.Items.begin());
        }
    }
}

}  // namespace velor
