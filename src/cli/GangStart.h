#pragma once
// What a gang write and the station do before their first device: load the firmware once and
// settle on the ports.

#include <memory>
#include <string>
#include <vector>

#include "app/Host.h"
#include "cli/GangOptions.h"
#include "firmware/FirmwareImage.h"

namespace velor::cli {

// kExitDone with image and ports filled; otherwise the exit code, the reason told to the host or
// written to stderr.
int PrepareGang(const GangOptions& options, IHost& host,
                std::shared_ptr<const FirmwareImage>& image, std::vector<std::string>& ports);

}  // namespace velor::cli
