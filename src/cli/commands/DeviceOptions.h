#pragma once
// The options of velor-flash detect, write and reset.

#include <memory>
#include <optional>
#include <string>

#include "app/MainWindowModel.h"
#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct DeviceOptions {
    std::string port;  // --port, or VELOR_PORT
    int baudIndex = kDefaultBaudIndex;
    std::string hexFile;  // write only; empty: the embedded release
    bool help = false;
    bool version = false;
    bool quiet = false;     // -q, --quiet: errors and the result only
    bool json = false;      // --json: JSON Lines on stdout
    std::string logFile;    // --log FILE: the attempt log, appended
    std::string traceFile;  // --trace FILE: the wire trace of the operation (or a folder)
};

// command: "detect", "write" or "reset". Parses the arguments after the command name; on a usage
// error returns nullopt and sets error to the line to show.
std::optional<DeviceOptions> ParseDeviceOptions(const std::string& command, const Args& args,
                                                std::string& error);

// The option table of the command, bound to options.
std::unique_ptr<CLI::App> DeviceApp(const std::string& command, DeviceOptions& options);

// The --help of the command.
std::string DeviceHelp(const std::string& command);

}  // namespace velor::cli
