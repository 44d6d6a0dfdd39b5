#include "cli/commands/FirmwareLoad.h"

#include "firmware/EmbeddedRelease.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"

namespace velor::cli {

bool LoadFirmware(const std::string& file, MainWindowModel& form, IHost& host,
                  std::shared_ptr<const FirmwareImage>& image) {
    if (file.empty()) {
        form.TextTerminal.SetText(std::string(EmbeddedReleaseText()));
    } else {
        form.TextTerminal.SetText(ReadTextFile(file));
        form.OpenDialogFileName = file;
    }
    return PrepareFirmware(form, host, image);
}

}  // namespace velor::cli
