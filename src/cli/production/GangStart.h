#pragma once
// What a gang write and the station do before their first device: load the firmware once and
// settle on the ports.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Host.h"
#include "cli/output/Reporter.h"
#include "cli/production/DeviceRun.h"
#include "cli/production/GangOptions.h"
#include "firmware/FirmwareImage.h"

namespace velor::cli {

// Where a gang write or the station ends before any device: a usage error (error, one line on
// stderr) when the options are not usable, the help for --help, the version for --version;
// otherwise nullopt, and the command goes on.
std::optional<int> EndBeforeDevices(const std::optional<GangOptions>& options, bool usable,
                                    const std::string& error, const char* help);

struct GangStart {
    std::shared_ptr<const FirmwareImage> image;  // read-only, shared by every device's thread
    std::vector<std::string> ports;
    std::size_t portWidth = 0;  // the longest port name, for the columns
};

// What every device of a gang write or a station shares in its output: --json or nothing, and
// the one --log file. False after saying on stderr why the log cannot be opened.
bool OpenDeviceOutput(const GangOptions& options, DeviceOutput& output);

// What a gang write or a station says before its devices (the firmware's refusal, a port list
// that cannot be read) as --json message and error events: the host's output; null without
// --json (plain lines).
std::unique_ptr<Reporter> EventsBeforeDevices(bool json);

// kExitDone with start filled; otherwise the exit code, the reason told to the host or written to
// stderr.
int PrepareGang(const GangOptions& options, IHost& host, GangStart& start);

}  // namespace velor::cli
