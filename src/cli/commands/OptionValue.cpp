#include "cli/Commands.h"

#include <algorithm>

#include "app/MainWindowModel.h"

namespace velor::cli {

const std::string* TakeOptionValue(const Args& args, std::size_t& i, std::string& error) {
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "option '" + args[i] + "' needs a value";
        return nullptr;
    }
    return &args[++i];
}

bool WalkOptions(const Args& args, const OptionHandlers& handlers, bool& help, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            help = true;
            return true;
        }
        if (handlers.IsFlag(name)) {
            handlers.Flag(name);
            continue;
        }
        if (!handlers.TakesValue(name)) {
            error = "unknown option '" + name + "'";
            return false;
        }
        const std::string* value = TakeOptionValue(args, i, error);
        if (value == nullptr || !handlers.Value(name, *value)) {
            return false;
        }
    }
    return true;
}

std::optional<int> BaudIndexOf(const std::string& rate, std::string& error) {
    const auto& rates = BaudRateItems();
    const auto found = std::find(rates.begin(), rates.end(), rate);
    if (found == rates.end()) {
        error = "unsupported rate '" + rate + "'";
        return std::nullopt;
    }
    return static_cast<int>(found - rates.begin());
}

const std::string& DefaultBaudText() {
    return BaudRateItems()[kDefaultBaudIndex];
}

std::string BaudRatesHelp() {
    constexpr std::size_t kWidth = 88;
    const std::string indent(16, ' ');
    std::string text = "  --baud RATE   ";
    std::size_t lineStart = 0;
    bool first = true;
    for (const std::string& rate : BaudRateItems()) {
        if (!first && text.size() - lineStart + 1 + rate.size() > kWidth) {
            text += "\n";
            lineStart = text.size();
            text += indent;
        } else if (!first) {
            text += ' ';
        }
        text += rate;
        first = false;
    }
    return text + " (default " + DefaultBaudText() + ")\n";
}

}  // namespace velor::cli
