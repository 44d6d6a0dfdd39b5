#pragma once
// What a gang write and the station do before their first device: load the firmware once and
// settle on the ports.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Host.h"
#include "cli/GangOptions.h"
#include "firmware/FirmwareImage.h"

namespace velor::cli {

// Where a gang write or the station ends before any device: a usage error (told on stderr with
// the usage text) when the options are not usable, the usage text alone for --help; otherwise
// nullopt, and the command goes on.
std::optional<int> EndBeforeDevices(const std::optional<GangOptions>& options, bool usable,
                                    const std::string& error, const char* usage);

// kExitDone with image and ports filled; otherwise the exit code, the reason told to the host or
// written to stderr.
int PrepareGang(const GangOptions& options, IHost& host,
                std::shared_ptr<const FirmwareImage>& image, std::vector<std::string>& ports);

}  // namespace velor::cli
