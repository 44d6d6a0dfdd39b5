#include "cli/DeviceOptions.h"

#include "app/MainWindowModel.h"

namespace velor::cli {

std::optional<DeviceOptions> ParseDeviceOptions(const Args& args, bool allowHex,
                                                std::string& error) {
    DeviceOptions options;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        if (name == "-q" || name == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (name == "--json") {
            options.json = true;
            continue;
        }
        const bool takesValue = name == "--port" || name == "--baud" || name == "--log" ||
                                (allowHex && name == "--hex");
        if (!takesValue) {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        const std::string* taken = TakeOptionValue(args, i, error);
        if (taken == nullptr) {
            return std::nullopt;
        }
        const std::string& value = *taken;
        if (name == "--port") {
            options.port = value;
            havePort = true;
        } else if (name == "--baud") {
            const auto& rates = BaudRateItems();
            options.baudIndex = -1;
            for (std::size_t k = 0; k < rates.size(); ++k) {
                if (rates[k] == value) {
                    options.baudIndex = static_cast<int>(k);
                }
            }
            if (options.baudIndex < 0) {
                error = "unsupported rate '" + value + "'";
                return std::nullopt;
            }
        } else if (name == "--log") {
            options.logFile = value;
        } else {
            options.hexFile = value;
        }
    }
    if (options.quiet && options.json) {
        error = "--quiet and --json exclude each other";
        return std::nullopt;
    }
    if (!havePort) {
        error = "--port is required";
        return std::nullopt;
    }
    return options;
}

}  // namespace velor::cli
