#include "cli/Commands.h"

#include <algorithm>

#include "app/MainWindowModel.h"
#include "cli/text/Translate.h"

namespace velor::cli {

std::optional<int> BaudIndexOf(const std::string& rate, std::string& error) {
    const auto& rates = BaudRateItems();
    const auto found = std::find(rates.begin(), rates.end(), rate);
    if (found == rates.end()) {
        error = Tr("unsupported rate '") + rate + "'";
        return std::nullopt;
    }
    return static_cast<int>(found - rates.begin());
}

const std::string& DefaultBaudText() {
    return BaudRateItems()[kDefaultBaudIndex];
}

}  // namespace velor::cli
