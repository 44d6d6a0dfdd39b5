#include "cli/GangStart.h"

#include <cstdio>

#include "app/MainWindowModel.h"
#include "cli/FirmwareLoad.h"
#include "cli/OutcomeCodes.h"
#include "cli/SystemErrors.h"

namespace velor::cli {

int PrepareGang(const GangOptions& options, IHost& host,
                std::shared_ptr<const FirmwareImage>& image, std::vector<std::string>& ports) {
    image = std::make_shared<const FirmwareImage>();
    const int loaded = ExitCodeOfErrors(host, [&] {
        MainWindowModel form;
        ports = ChosenPorts(options);
        return LoadFirmware(options.hexFile, form, host, image) ? kExitDone : kExitRefused;
    });
    if (loaded != kExitDone) {
        return loaded;
    }
    if (ports.empty()) {
        std::fputs("velor-flash: the port list is empty\n", stderr);
        return kExitUsage;
    }
    return kExitDone;
}

}  // namespace velor::cli
