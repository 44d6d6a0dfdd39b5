#include "serial/PortHolders.h"

namespace velor {

// Windows names no holder of a COM port to an ordinary program.
std::vector<PortHolder> FindPortHolders(const std::string&, const std::string&) {
    return {};
}

// A COM port opens exclusively: the system refuses a held one at the open.
std::vector<PortHolder> FindOtherHolders(const std::string&, const std::string&) {
    return {};
}

}  // namespace velor
