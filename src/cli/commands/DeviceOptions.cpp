#include "cli/commands/DeviceOptions.h"

namespace velor::cli {

std::optional<DeviceOptions> ParseDeviceOptions(const Args& args, bool allowHex,
                                                std::string& error) {
    DeviceOptions options;
    bool havePort = false;
    const OptionHandlers handlers{
        .IsFlag =
            [](const std::string& name) {
                return name == "-q" || name == "--quiet" || name == "--json";
            },
        .TakesValue =
            [allowHex](const std::string& name) {
                return name == "--port" || name == "--baud" || name == "--log" ||
                       name == "--trace" || (allowHex && name == "--hex");
            },
        .Flag =
            [&](const std::string& name) {
                (name == "--json" ? options.json : options.quiet) = true;
            },
        .Value =
            [&](const std::string& name, const std::string& value) {
                if (name == "--port") {
                    options.port = value;
                    havePort = true;
                } else if (name == "--baud") {
                    const auto index = BaudIndexOf(value, error);
                    if (!index) {
                        return false;
                    }
                    options.baudIndex = *index;
                } else if (name == "--log") {
                    options.logFile = value;
                } else if (name == "--trace") {
                    options.traceFile = value;
                } else {
                    options.hexFile = value;
                }
                return true;
            },
    };
    if (!WalkOptions(args, handlers, options.help, error)) {
        return std::nullopt;
    }
    if (options.help) {
        return options;
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
