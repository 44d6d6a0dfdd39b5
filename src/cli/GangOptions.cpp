#include "cli/GangOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "app/MainWindowModel.h"
#include "serial/ListSerialPorts.h"

namespace velor::cli {

namespace {

void AddPort(GangOptions& options, const std::string& port) {
    if (std::find(options.ports.begin(), options.ports.end(), port) == options.ports.end()) {
        options.ports.push_back(port);
    }
}

}  // namespace

bool WantsSeveralPorts(const Args& args) {
    int ports = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--ports" || arg == "--all") {
            return true;
        }
        if (arg == "--port") {
            ++ports;
        }
        // An option's value is not an option, whatever it reads.
        if (arg == "--port" || arg == "--baud" || arg == "--hex") {
            ++i;
        }
    }
    return ports > 1;
}

std::optional<GangOptions> ParseGangOptions(const Args& args, bool station, std::string& error) {
    GangOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return options;
        }
        if (name == "--all") {
            options.allPorts = true;
            continue;
        }
        const bool takesValue = name == "--port" || name == "--ports" || name == "--baud" ||
                                name == "--hex" ||
                                (station && (name == "--count" || name == "--record"));
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
            AddPort(options, value);
        } else if (name == "--ports") {
            std::size_t begin = 0;
            while (begin <= value.size()) {
                const std::size_t end = std::min(value.find(',', begin), value.size());
                if (end > begin) {
                    AddPort(options, value.substr(begin, end - begin));
                }
                begin = end + 1;
            }
        } else if (name == "--baud") {
            const auto& rates = BaudRateItems();
            const auto found = std::find(rates.begin(), rates.end(), value);
            if (found == rates.end()) {
                error = "unsupported rate '" + value + "'";
                return std::nullopt;
            }
            options.baudIndex = static_cast<int>(found - rates.begin());
        } else if (name == "--hex") {
            options.hexFile = value;
        } else if (name == "--count") {
            char* end = nullptr;
            errno = 0;
            options.count = std::strtol(value.c_str(), &end, 10);
            if (errno != 0 || *end != '\0' || options.count < 1) {
                error = "--count needs a whole number of devices, 1 or more";
                return std::nullopt;
            }
        } else {
            options.recordFile = value;
        }
    }
    if (options.ports.empty() && !options.allPorts) {
        error = "give the ports with --port P (repeated), --ports A,B,C or --all";
        return std::nullopt;
    }
    return options;
}

std::vector<std::string> ChosenPorts(const GangOptions& options) {
    std::vector<std::string> ports = options.ports;
    if (options.allPorts) {
        std::vector<std::string> listed;
        ListSerialPorts(listed);
        for (const auto& port : listed) {
            if (std::find(ports.begin(), ports.end(), port) == ports.end()) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}

}  // namespace velor::cli
