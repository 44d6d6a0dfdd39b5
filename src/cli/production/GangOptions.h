#pragma once
// The options of a write to several ports at once and of the production station.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/MainWindowModel.h"
#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct GangOptions {
    std::vector<std::string> ports;  // in the order given, each once
    bool allPorts = false;           // --all: every port in the list
    int baudIndex = kDefaultBaudIndex;
    std::string hexFile;
    long count = 0;          // station: end after this many devices; 0: until Ctrl+C
    std::string recordFile;  // station: where each device's record is appended
    // station: the slot named for each port of ports (same index); empty where none was named.
    std::vector<std::string> slots;
    std::string stationName;  // station: its name in the records; empty: the computer's name
    bool json = false;        // --json: JSON Lines events on stdout
    bool quiet = false;       // -q: errors and the results only
    std::string logFile;      // --log: every device's attempt log, appended to one file
    std::string trace;        // --trace: a folder, or a file name with {port}
    bool help = false;
    bool version = false;
};

// station: whether --count and --record are allowed. On a usage error returns nullopt and sets
// error to the line to show. Without --all at least one port is required.
std::optional<GangOptions> ParseGangOptions(const Args& args, bool station, std::string& error);

// The option table of the write to several ports (station false) or of the station.
std::unique_ptr<CLI::App> GangApp(bool station, GangOptions& options);

// The --help of the write to several ports (station false) or of the station.
std::string GangHelp(bool station);

// The ports the options name, then those of the port list for --all; EComPort when the list
// cannot be read.
std::vector<std::string> ChosenPorts(const GangOptions& options);

// The slots of a --slots file: "NAME=PORT" a line, blank lines and lines starting with # left
// out. False with error set (the line named) for a line without "=", an empty name or port.
bool ParseSlotLines(const std::string& text,
                    std::vector<std::pair<std::string, std::string>>& slots, std::string& error);

// Whether a write's arguments ask for more than one port (several --port, --ports or --all).
bool WantsSeveralPorts(const Args& args);

}  // namespace velor::cli
