#pragma once
// The one home of the baud rates: the window's list, velor-flash's --baud and its help, and the
// port's settings all read this table. The default is named by its rate, so a rate inserted in
// the table cannot move it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "serial/ComTypes.h"

namespace velor {

inline constexpr TBaudRate kDefaultBaudRate = TBaudRate::br115200;

// The index of a rate in the list (its ordinal).
inline constexpr int BaudIndexOf(TBaudRate rate) {
    return static_cast<int>(rate);
}

// "115200": the rate a window and a command start with.
inline constexpr int kDefaultBaudIndex = BaudIndexOf(kDefaultBaudRate);

// The rates of the baud-rate list as the operator reads them, in the order of their ordinals.
inline const std::vector<std::string>& BaudRateItems() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> texts;
        for (const uint32_t value : kBaudRateTable) {
            texts.push_back(std::to_string(value));
        }
        return texts;
    }();
    return items;
}

}  // namespace velor
