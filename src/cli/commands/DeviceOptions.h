#pragma once
// The options of velor-flash detect, write and reset.

#include <optional>
#include <string>

#include "app/MainWindowModel.h"
#include "cli/Commands.h"

namespace velor::cli {

struct DeviceOptions {
    std::string port;
    int baudIndex = kDefaultBaudIndex;
    std::string hexFile;  // write only; empty: the embedded release
    bool help = false;
    bool quiet = false;   // -q, --quiet: errors and the result only
    bool json = false;    // --json: JSON Lines on stdout
    std::string logFile;  // --log FILE: the attempt log, appended
    std::string traceFile;  // --trace FILE: the wire trace of the operation (or a folder)
};

// Parses the arguments after the command name; on a usage error returns nullopt and sets error.
std::optional<DeviceOptions> ParseDeviceOptions(const Args& args, bool allowHex,
                                                std::string& error);

}  // namespace velor::cli
