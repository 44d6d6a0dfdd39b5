#include "cli/production/GangOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "serial/ListSerialPorts.h"

namespace velor::cli {

namespace {

void AddPort(GangOptions& options, const std::string& port) {
    if (std::find(options.ports.begin(), options.ports.end(), port) == options.ports.end()) {
        options.ports.push_back(port);
    }
}

constexpr std::size_t kSlotsFileLimit = 64 * 1024;

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

bool SplitSlot(const std::string& text, std::pair<std::string, std::string>& slot) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    slot = {Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1))};
    return !slot.first.empty() && !slot.second.empty();
}

bool AddSlot(GangOptions& options, const std::pair<std::string, std::string>& slot,
             std::string& error) {
    const auto& [name, port] = slot;
    if (std::find(options.ports.begin(), options.ports.end(), port) != options.ports.end() ||
        std::find(options.slots.begin(), options.slots.end(), name) != options.slots.end()) {
        error = "the slot '" + name + "' or its port '" + port + "' is given twice";
        return false;
    }
    options.slots.resize(options.ports.size());
    options.ports.push_back(port);
    options.slots.push_back(name);
    return true;
}

bool AddSlotsFile(GangOptions& options, const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (!in && !in.eof()) {
        error = "cannot read the slots file '" + path + "'";
        return false;
    }
    if (text.size() > kSlotsFileLimit) {
        error = "the slots file '" + path + "' is over 64 KiB";
        return false;
    }
    std::vector<std::pair<std::string, std::string>> slots;
    if (!ParseSlotLines(text, slots, error)) {
        error = "the slots file '" + path + "': " + error;
        return false;
    }
    for (const auto& slot : slots) {
        if (!AddSlot(options, slot, error)) {
            return false;
        }
    }
    return true;
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

bool ParseSlotLines(const std::string& text,
                    std::vector<std::pair<std::string, std::string>>& slots, std::string& error) {
    std::size_t begin = 0;
    for (int number = 1; begin < text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        const std::string line = Trimmed(text.substr(begin, end - begin));
        begin = end + 1;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::pair<std::string, std::string> slot;
        if (!SplitSlot(line, slot)) {
            error = "line " + std::to_string(number) + " is not NAME=PORT";
            return false;
        }
        slots.push_back(slot);
    }
    return true;
}

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
        .IsFlag =
            [station](const std::string& name) {
                return name == "--all" || (station && name == "--json");
            },
        .TakesValue =
            [station](const std::string& name) {
                return name == "--port" || name == "--ports" || name == "--baud" ||
                       name == "--hex" ||
                       (station && (name == "--count" || name == "--record" || name == "--slot" ||
                                    name == "--slots" || name == "--station"));
            },
        .Flag =
            [&](const std::string& name) {
                (name == "--json" ? options.json : options.allPorts) = true;
            },
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
                } else if (name == "--slot") {
                    std::pair<std::string, std::string> slot;
                    if (!SplitSlot(value, slot)) {
                        error = "--slot needs NAME=PORT";
                        return false;
                    }
                    return AddSlot(options, slot, error);
                } else if (name == "--slots") {
                    return AddSlotsFile(options, value, error);
                } else if (name == "--station") {
                    options.stationName = value;
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
    options.slots.resize(options.ports.size());
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
