#include "serial/ListSerialPorts.h"

#include <algorithm>

#include "serial/EComPort.h"

namespace velor {
namespace {

unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) < Fold(y); });
}

}  // namespace

void SortPortNames(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
}

void ListSerialPorts(std::vector<std::string>& target, IPortSource& source) {
    std::vector<std::string> found;
    if (!source.Collect(found)) {
        throw EComPort(TComMessage::NoPorts);
    }
    SortPortNames(found);
    target = std::move(found);
}

void ListSerialPorts(std::vector<std::string>& target) {
    const auto source = MakePlatformPortSource();
    ListSerialPorts(target, *source);
}

}  // namespace velor
