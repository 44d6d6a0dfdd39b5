#pragma once
// Loads the firmware the way the window does: the embedded release, or a file read as 8-bit
// text (its name then stands where the open dialog's would).

#include <memory>
#include <string>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "firmware/FirmwareImage.h"

namespace velor::cli {

// file empty: the embedded release. False when the text is refused (the host was told).
bool LoadFirmware(const std::string& file, MainWindowModel& form, IHost& host,
                  std::shared_ptr<const FirmwareImage>& image);

}  // namespace velor::cli
