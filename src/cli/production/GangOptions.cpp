#include "cli/production/GangOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "serial/ListSerialPorts.h"

namespace velor::cli {

namespace {

void AddPort(GangOptions& options, const std::string& port) {
    if (std::find(options.ports.begin(), options.ports.end(), port) == options.ports.end()) {
        options.ports.push_back(port);
    }
}

void AddPortList(GangOptions& options, const std::string& list) {
    std::size_t begin = 0;
    while (begin <= list.size()) {
        const std::size_t end = std::min(list.find(',', begin), list.size());
        if (end > begin) {
            AddPort(options, list.substr(begin, end - begin));
        }
        begin = end + 1;
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
    const OptionHandlers handlers{
        .IsFlag = [](const std::string& name) { return name == "--all"; },
        .TakesValue =
            [station](const std::string& name) {
                return name == "--port" || name == "--ports" || name == "--baud" ||
                       name == "--hex" || name == "--trace" ||
                       (station && (name == "--count" || name == "--record"));
            },
        .Flag = [&](const std::string&) { options.allPorts = true; },
        .Value =
            [&](const std::string& name, const std::string& value) {
                if (name == "--port") {
                    AddPort(options, value);
                } else if (name == "--ports") {
                    AddPortList(options, value);
                } else if (name == "--baud") {
                    const auto index = BaudIndexOf(value, error);
                    if (!index) {
                        return false;
                    }
                    options.baudIndex = *index;
                } else if (name == "--hex") {
                    options.hexFile = value;
                } else if (name == "--trace") {
                    options.trace = value;
                } else if (name == "--count") {
                    char* end = nullptr;
                    errno = 0;
                    options.count = std::strtol(value.c_str(), &end, 10);
                    if (errno != 0 || *end != '\0' || options.count < 1) {
                        error = "--count needs a whole number of devices, 1 or more";
                        return false;
                    }
                } else {
                    options.recordFile = value;
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
