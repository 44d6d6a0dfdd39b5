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
    std::string trace;       // --trace: a folder, or a file name with {port}
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

// Whether a write's arguments ask for more than one port (several --port, --ports or --all).
bool WantsSeveralPorts(const Args& args);

}  // namespace velor::cli
